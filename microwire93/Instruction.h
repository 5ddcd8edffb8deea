#pragma once
// The 93Cxx instructions as bit strings, sent most significant bit first after chip select rises:
// a start bit 1, a two-bit opcode, an address field as wide as the part and organisation need,
// and for the writes the data word. The four instructions of opcode 00 tell themselves apart by
// the top two bits of the address field; its other bits are don't-care and go out as 0.
//
//   READ  1 10 A..A          the chip answers a dummy 0, then words for as long as it is clocked
//   WRITE 1 01 A..A D..D     erases the word and writes it
//   ERASE 1 11 A..A          sets every bit of the word
//   EWEN  1 00 11 x..x       allows the writes and erases until EWDS or power-off
//   EWDS  1 00 00 x..x
//   ERAL  1 00 10 x..x       erases the whole array
//   WRAL  1 00 01 x..x D..D  writes one word into every cell

#include <cstdint>

namespace microwire93 {

// The shape of the instructions of one part in one organisation.
struct Geometry {
    uint8_t addressBits = 0; // 6..11 on the 93Cxx parts; at least 2, and at most 13 for x16
    uint8_t wordBits = 0;    // 8 or 16
};

// At most 32 bits; `count` of them, the first in bit count - 1.
struct Bits {
    uint32_t value = 0;
    uint8_t count = 0;

    bool operator==(const Bits&) const = default;
};

Bits Read(Geometry geometry, uint32_t word);
Bits Write(Geometry geometry, uint32_t word, uint16_t data);
Bits Erase(Geometry geometry, uint32_t word);
Bits EraseWriteEnable(Geometry geometry);
Bits EraseWriteDisable(Geometry geometry);
Bits EraseAll(Geometry geometry);
Bits WriteAll(Geometry geometry, uint16_t data);

// The word with every bit set: what an erased cell holds.
inline uint16_t ErasedWord(Geometry geometry)
{
    return static_cast<uint16_t>((1u << geometry.wordBits) - 1);
}

} // namespace microwire93
