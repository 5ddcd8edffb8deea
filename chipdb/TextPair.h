#pragma once
// A user-visible text in English and Russian; the caller picks one by LanguageId.

#include <string>

namespace chipdb {

struct TextPair {
    std::string en;
    std::string ru;

    // Messages are Russian for LanguageId 0 only; every other value shows English.
    const std::string& forLanguage(int languageId) const { return languageId == 0 ? ru : en; }
    bool operator==(const TextPair&) const = default;
};

}  // namespace chipdb
