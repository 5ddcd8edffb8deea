#pragma once
// The update information file Update.inf: INI text whose section "Info" names the newest program
// version, its file, its changes and the newest chip database version.

#include <cstdint>
#include <span>
#include <string>

namespace update {

struct UpdateInfo {
    std::string version;  // "Update Version": dotted program version
    std::string file;     // "Update File": must not be empty, used for nothing else
    std::string changes;  // "Update Changes": shown in the program question
    std::string chipList; // "Update Chiplist": a date as its first 10 characters, ".", a serial
};

// Reads the file's bytes, whatever they are (UTF-8 text is expected). Section and key names are
// matched without regard to case; a missing section or key reads as an empty text; values lose
// surrounding blanks and one pair of surrounding double quotes.
UpdateInfo ParseUpdateInfo(std::span<const std::uint8_t> bytes);

} // namespace update
