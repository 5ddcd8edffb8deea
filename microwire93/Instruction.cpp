#include "microwire93/Instruction.h"

namespace microwire93 {
namespace {

constexpr uint32_t OpRead = 0b10, OpWrite = 0b01, OpErase = 0b11, OpSpecial = 0b00;
// The top two bits of the address field under opcode 00.
constexpr uint32_t SubEnable = 0b11, SubDisable = 0b00, SubEraseAll = 0b10, SubWriteAll = 0b01;

Bits Header(Geometry geometry, uint32_t opcode, uint32_t address)
{
    const uint32_t field = address & ((1u << geometry.addressBits) - 1);
    return {(1u << (2 + geometry.addressBits)) | (opcode << geometry.addressBits) | field,
            uint8_t(3 + geometry.addressBits)};
}

Bits Special(Geometry geometry, uint32_t sub)
{
    return Header(geometry, OpSpecial, sub << (geometry.addressBits - 2));
}

Bits WithData(Bits header, Geometry geometry, uint16_t data)
{
    const uint32_t word = data & ErasedWord(geometry);
    return {(header.value << geometry.wordBits) | word, uint8_t(header.count + geometry.wordBits)};
}

} // namespace

Bits Read(Geometry geometry, uint32_t word)
{
    return Header(geometry, OpRead, word);
}

Bits Write(Geometry geometry, uint32_t word, uint16_t data)
{
    return WithData(Header(geometry, OpWrite, word), geometry, data);
}

Bits Erase(Geometry geometry, uint32_t word)
{
    return Header(geometry, OpErase, word);
}

Bits EraseWriteEnable(Geometry geometry)
{
    return Special(geometry, SubEnable);
}

Bits EraseWriteDisable(Geometry geometry)
{
    return Special(geometry, SubDisable);
}

Bits EraseAll(Geometry geometry)
{
    return Special(geometry, SubEraseAll);
}

Bits WriteAll(Geometry geometry, uint16_t data)
{
    return WithData(Special(geometry, SubWriteAll), geometry, data);
}

} // namespace microwire93
