#include "chipdb/sfdp/SfdpHexText.h"

namespace sfdp {

namespace {

constexpr std::size_t BytesPerLine = 16;

int Nibble(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

HexTextRead Fault(HexTextFault fault, std::size_t line)
{
    HexTextRead read;
    read.fault = fault;
    read.line = line;
    return read;
}

} // namespace

HexTextRead ReadHexText(std::string_view text)
{
    HexTextRead read;
    bool shortLineSeen = false;
    std::size_t shortLine = 0;
    for (std::size_t number = 1; !text.empty(); ++number) {
        const std::size_t newline = text.find('\n');
        std::string_view line = text.substr(0, newline);
        text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) continue;
        if (shortLineSeen) return Fault(HexTextFault::ShortLine, shortLine);
        if (line.size() % 2 != 0) return Fault(HexTextFault::OddDigitCount, number);
        if (line.size() > 2 * BytesPerLine) return Fault(HexTextFault::LongLine, number);
        if (read.bytes.size() + line.size() / 2 > MaxReach) return Fault(HexTextFault::TooLong, number);
        for (std::size_t i = 0; i < line.size(); i += 2) {
            const int high = Nibble(line[i]), low = Nibble(line[i + 1]);
            if (high < 0 || low < 0) return Fault(HexTextFault::NotHexDigit, number);
            read.bytes.push_back(static_cast<uint8_t>(high << 4 | low));
        }
        if (line.size() < 2 * BytesPerLine) {
            shortLineSeen = true;
            shortLine = number;
        }
    }
    if (read.bytes.empty()) return Fault(HexTextFault::Empty, 0);
    return read;
}

std::string WriteHexText(std::span<const uint8_t> bytes)
{
    static constexpr char Digits[] = "0123456789abcdef";
    std::string text;
    text.reserve(bytes.size() * 2 + bytes.size() / BytesPerLine + 1);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        text += Digits[bytes[i] >> 4];
        text += Digits[bytes[i] & 0xF];
        if (i % BytesPerLine == BytesPerLine - 1 || i + 1 == bytes.size()) text += '\n';
    }
    return text;
}

} // namespace sfdp
