#include "session/Language.h"

namespace {
Language current = Language::NotChosen;
} // namespace

Language CurrentLanguage()
{
    return current;
}

void SetCurrentLanguage(Language language)
{
    current = language;
}

Language LanguageFromId(int id)
{
    return id == 0 ? Language::Russian : id == 1 ? Language::English : Language::NotChosen;
}

Language DetectLanguage(const QString& localeName)
{
    const QString primary = localeName.section(QLatin1Char('_'), 0, 0).section(QLatin1Char('-'), 0, 0).toLower();
    if (primary == QLatin1String("ru")) return Language::Russian;
    // The C and POSIX locales ("C", "C.UTF-8", "POSIX") speak the English of the C library.
    if (primary == QLatin1String("en") || primary.startsWith(QLatin1String("c.")) || primary == QLatin1String("c") ||
        primary == QLatin1String("posix"))
        return Language::English;
    return Language::NotChosen;
}
