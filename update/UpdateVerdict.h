#pragma once
// What an update check makes of the server's answer: one error line for the log, or the questions
// to ask about a newer chip database and a newer program. Plain rules, no network.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "text/TextPair.h"

namespace update {

// The versions this program has: its own and that of the loaded ChipList.dat.
struct LocalVersions {
    std::string program;              // "1.0.1.62"
    double chipListDate = 0;          // ChipListDate
    std::int32_t chipListVersion = 0; // ChipListVersion, the serial
};

struct UpdateQuestion {
    TextPair caption;
    TextPair text;
};

struct UpdateVerdict {
    std::optional<TextPair> error;          // one red line, and the check ends
    std::optional<UpdateQuestion> chipList; // asked first; No ends the check
    std::optional<UpdateQuestion> program;  // asked after a Yes to the first, or alone
};

// The request failed: no connection, no answer in time.
TextPair CannotCheckLine();
// An answer without an HTTP status.
TextPair NoStatusLine();
// The answer is not a usable information file (too large to be one, for example).
TextPair IncorrectInfoLine();

// No information file address is set.
TextPair NoServerLine();
// The address is plain HTTP to another machine: the answer could be changed on its way.
TextPair PlainHttpRefusedLine(std::string_view address);
// What the About box says after a check that found nothing newer, or asked about something newer.
TextPair UpToDateLine();
TextPair NewerVersionLine();

// The answer with its status (-1 for none), reason phrase and body.
UpdateVerdict JudgeAnswer(int status, std::string_view reasonPhrase, std::span<const std::uint8_t> body,
                          const LocalVersions& local);

} // namespace update
