#pragma once
// A user-visible text in both interface languages and the one rule that picks between them. Plain
// C++, so every layer can hand its texts upward and leave the choice to the one that shows them.

#include <string>
#include <string_view>

// The interface language. The values are the ones the settings file and the language menu use.
enum class Language { NotChosen = -1, Russian = 0, English = 1 };

// English first, Russian second, everywhere.
struct TextPair {
    std::string en;
    std::string ru;
    bool operator==(const TextPair&) const = default;
};

// One text shown as it is in both languages.
inline TextPair SameText(std::string_view text)
{
    return {std::string(text), std::string(text)};
}

// Messages are Russian when Russian is chosen and English otherwise, also while none is chosen.
template <class Text>
constexpr const Text& PickText(Language language, const Text& english, const Text& russian)
{
    return language == Language::Russian ? russian : english;
}
constexpr const char* PickText(Language language, const char* english, const char* russian)
{
    return PickText<const char*>(language, english, russian);
}
inline const std::string& PickText(Language language, const TextPair& text)
{
    return PickText(language, text.en, text.ru);
}

// The window and the dialogs are designed in Russian: captions turn English only when English is
// chosen, so a caption is picked with CaptionLanguage(language).
constexpr Language CaptionLanguage(Language language)
{
    return language == Language::English ? Language::English : Language::Russian;
}
