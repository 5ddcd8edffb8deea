#include "session/Language.h"

#include <gtest/gtest.h>

TEST(Language, DetectedFromThePrimaryLanguageOfTheLocale)
{
    EXPECT_EQ(DetectLanguage("ru_RU"), Language::Russian);
    EXPECT_EQ(DetectLanguage("ru_UA.UTF-8"), Language::Russian);
    EXPECT_EQ(DetectLanguage("en_US"), Language::English);
    EXPECT_EQ(DetectLanguage("en-GB"), Language::English);
    EXPECT_EQ(DetectLanguage("de_DE"), Language::NotChosen);
    // A desktop started with LANG=C or C.UTF-8 (Qt names that locale "C") or POSIX speaks English.
    for (const char* plain : {"C", "C.UTF-8", "c.utf8", "POSIX"}) EXPECT_EQ(DetectLanguage(plain), Language::English);
    EXPECT_EQ(DetectLanguage("Ca_ES"), Language::NotChosen); // not the C locale: Catalan
}

// Messages are Russian only for Russian; captions keep the Russian design unless English is chosen.
TEST(Language, MessagesAreEnglishAndCaptionsRussianUntilALanguageIsChosen)
{
    struct Case {
        int id;
        const char *message, *caption;
    } const cases[] = {
        {0, "Смещение: ", "Закрыть"}, {1, "Offset ", "Close"}, {-1, "Offset ", "Закрыть"}, {7, "Offset ", "Закрыть"}};
    const Language saved = CurrentLanguage();
    for (const Case& c : cases) {
        SetCurrentLanguage(LanguageFromId(c.id));
        EXPECT_EQ(Localized("Offset ", "Смещение: "), QString::fromUtf8(c.message)) << c.id;
        EXPECT_EQ(Localized(TextPair{"Offset ", "Смещение: "}), QString::fromUtf8(c.message)) << c.id;
        EXPECT_EQ(LocalizedCaption("Close", "Закрыть"), QString::fromUtf8(c.caption)) << c.id;
    }
    SetCurrentLanguage(saved);
}
