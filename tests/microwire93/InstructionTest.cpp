// The 93Cxx instructions of every part and organisation, bit for bit as the datasheets give
// them: start bit, opcode, the address field (x16 / x8: 93C06 and 93C46 6 / 7 bits, 93C56 and
// 93C66 8 / 9, 93C76 and 93C86 10 / 11), data.
#include "microwire93/Instruction.h"
#include "chipdb/Chip.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace microwire93;

Geometry GeometryOf(const char* kind)
{
    chipdb::ChipRecord row;
    row.CHIPID = kind;
    row.CHIPSIZE = 2048;
    const chipdb::Chip chip = chipdb::ChipFromRecord(row);
    return {chip.addressBits, uint8_t(chip.wordBytes() * 8)};
}

// "1 10 010101": the bits, grouped as written in the table.
std::string Text(Bits bits)
{
    std::string text;
    for (int bit = bits.count - 1; bit >= 0; --bit) text += (bits.value >> bit) & 1 ? '1' : '0';
    return text;
}

std::string Ungrouped(std::string text)
{
    std::erase(text, ' ');
    return text;
}

TEST(Instruction, EveryPartAndOrganisationAsTheDatasheetsGiveIt)
{
    const struct {
        const char* kind;
        Bits bits;
        const char* expected;
    } cases[] = {
        {"ID_93C06_16", Read(GeometryOf("ID_93C06_16"), 0x0F), "1 10 001111"},
        {"ID_93C06_8", Read(GeometryOf("ID_93C06_8"), 0x1F), "1 10 0011111"},
        {"ID_93C46_16", Read(GeometryOf("ID_93C46_16"), 0x15), "1 10 010101"},
        {"ID_93C46_8", Read(GeometryOf("ID_93C46_8"), 0x55), "1 10 1010101"},
        {"ID_93C46_16", Write(GeometryOf("ID_93C46_16"), 0x3F, 0xBEEF), "1 01 111111 1011111011101111"},
        {"ID_93C46_8", Write(GeometryOf("ID_93C46_8"), 0x01, 0x1A5), "1 01 0000001 10100101"}, // data cut to 8 bits
        {"ID_93C46_16", EraseWriteEnable(GeometryOf("ID_93C46_16")), "1 00 11 0000"},
        {"ID_93C46_8", EraseWriteDisable(GeometryOf("ID_93C46_8")), "1 00 00 00000"},
        {"ID_93C56_16", Read(GeometryOf("ID_93C56_16"), 0x7F), "1 10 01111111"},
        {"ID_93C56_8", Read(GeometryOf("ID_93C56_8"), 0xA5), "1 10 010100101"},
        {"ID_93C56_8", Erase(GeometryOf("ID_93C56_8"), 0xFF), "1 11 011111111"},
        {"ID_93C66_16", Write(GeometryOf("ID_93C66_16"), 0xAB, 0x1234), "1 01 10101011 0001001000110100"},
        {"ID_93C66_8", EraseAll(GeometryOf("ID_93C66_8")), "1 00 10 0000000"},
        {"ID_93C76_16", EraseWriteEnable(GeometryOf("ID_93C76_16")), "1 00 11 00000000"},
        {"ID_93C76_8", Read(GeometryOf("ID_93C76_8"), 0x3FF), "1 10 01111111111"},
        {"ID_93C86_16", EraseAll(GeometryOf("ID_93C86_16")), "1 00 10 00000000"},
        {"ID_93C86_16", WriteAll(GeometryOf("ID_93C86_16"), 0x00FF), "1 00 01 00000000 0000000011111111"},
        {"ID_93C86_8", Erase(GeometryOf("ID_93C86_8"), 0x7FF), "1 11 11111111111"},
        {"ID_93C86_8", WriteAll(GeometryOf("ID_93C86_8"), 0x5A), "1 00 01 000000000 01011010"},
        {"ID_93C86_8", Read(GeometryOf("ID_93C86_8"), 0x800), "1 10 00000000000"}, // beyond the field: cut
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.kind) + " " + c.expected);
        EXPECT_EQ(Text(c.bits), Ungrouped(c.expected));
    }
}

} // namespace
