#include "spi25/SpiText.h"

std::string HexText(uint64_t value, int digits)
{
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::string text;
    do {
        text.insert(text.begin(), Digits[value & 15]);
        value >>= 4;
    } while (value != 0);
    if (static_cast<int>(text.size()) < digits) text.insert(0, static_cast<std::size_t>(digits) - text.size(), '0');
    return text;
}
