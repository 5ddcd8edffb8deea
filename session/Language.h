#pragma once
// The interface language of the process: one setting, chosen at start-up (the settings file or the
// system locale) and changed from the language menu, which every text reads at the moment it is
// shown. Captions of the main window are applied once at start-up (see Captions.h).
#include "text/TextPair.h"

#include <QString>

Language CurrentLanguage();
void SetCurrentLanguage(Language language);

// The language of a settings value or a menu tag: 0 Russian, 1 English, anything else not chosen.
Language LanguageFromId(int id);

// The language detected from a locale name such as "ru_RU" or "en_GB".
Language DetectLanguage(const QString& localeName);

// A message in the current language.
inline QString Localized(const char* english, const char* russian)
{
    return QString::fromUtf8(PickText(CurrentLanguage(), english, russian));
}
inline QString Localized(const TextPair& text)
{
    return QString::fromStdString(PickText(CurrentLanguage(), text));
}

// A caption in the current language: the Russian design unless English is chosen.
inline QString LocalizedCaption(const char* english, const char* russian)
{
    return QString::fromUtf8(PickText(CaptionLanguage(CurrentLanguage()), english, russian));
}
inline QString LocalizedCaption(const TextPair& text)
{
    return QString::fromStdString(PickText(CaptionLanguage(CurrentLanguage()), text));
}
