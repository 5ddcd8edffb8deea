#pragma once
// Interface language: every message of the program exists in English and Russian and is picked at
// the moment it is shown. Captions are applied once at start-up (see Captions.h).
#include <QString>

// 0 Russian, 1 English, -1 (or anything else) not chosen: English messages, Russian captions.
extern int LanguageId;

// The language detected from a locale name such as "ru_RU" or "en_GB": 0, 1 or -1.
int DetectLanguage(const QString &localeName);

// The English text of a pair unless the language is Russian.
inline QString Lang(const char *english, const char *russian)
{
    return QString::fromUtf8(LanguageId == 0 ? russian : english);
}

// The same for a text pair of the lower layers (members `en` and `ru`, std::string).
template <class TextPair> QString Lang(const TextPair &pair)
{
    return QString::fromStdString(LanguageId == 0 ? pair.ru : pair.en);
}
