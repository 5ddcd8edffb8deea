#include "buffer/edit/HexGrid.h"

int HexGrid::offsetDigits() const
{
    int digits = 1;
    for (std::size_t last = size_ > 0 ? size_ - 1 : 0; last >= 16; last >>= 4) ++digits;
    digits += digits & 1;
    return digits < 4 ? 4 : digits;
}

std::string HexGrid::offsetText(std::size_t offset) const
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const int width = offsetDigits();
    int needed = 1;
    for (std::size_t rest = offset >> 4; rest != 0; rest >>= 4) ++needed;
    const int digits = needed > width ? needed : width;
    std::string text(2 + digits, '0');
    text[1] = 'x';
    for (int i = 0; i < digits; ++i, offset >>= 4) text[text.size() - 1 - i] = kDigits[offset & 0xF];
    return text;
}
