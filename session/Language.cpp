#include "session/Language.h"

int LanguageId = -1;

int DetectLanguage(const QString &localeName)
{
    const QString primary = localeName.section(QLatin1Char('_'), 0, 0).section(QLatin1Char('-'), 0, 0).toLower();
    if (primary == QLatin1String("ru"))
        return 0;
    if (primary == QLatin1String("en"))
        return 1;
    return -1;
}
