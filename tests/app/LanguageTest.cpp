#include "session/Language.h"

#include <gtest/gtest.h>

TEST(Language, DetectedFromThePrimaryLanguageOfTheLocale)
{
    EXPECT_EQ(DetectLanguage("ru_RU"), 0);
    EXPECT_EQ(DetectLanguage("ru_UA.UTF-8"), 0);
    EXPECT_EQ(DetectLanguage("en_US"), 1);
    EXPECT_EQ(DetectLanguage("en-GB"), 1);
    EXPECT_EQ(DetectLanguage("de_DE"), -1);
    EXPECT_EQ(DetectLanguage("C"), -1);
}

TEST(Language, RussianOnlyForZeroEnglishOtherwise)
{
    const int saved = LanguageId;
    for (int id : {-1, 1, 7}) {
        LanguageId = id;
        EXPECT_EQ(Lang("Offset ", "Смещение: "), "Offset ") << id;
    }
    LanguageId = 0;
    EXPECT_EQ(Lang("Offset ", "Смещение: "), QString::fromUtf8("Смещение: "));
    LanguageId = saved;
}
