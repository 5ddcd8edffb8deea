#include "chipdb/sfdp/SfdpHexText.h"
#include "chipdb/sfdp/SfdpDumps.h"

#include <gtest/gtest.h>

#include <string>

using namespace sfdp;
using namespace std::string_literals;

TEST(SfdpHexText, ReadsTheDumpFormat)
{
    const std::string line(32, 'a');
    struct Case {
        std::string text;
        std::size_t bytes;
        HexTextFault fault;
        std::size_t line;
    };
    const Case cases[] = {
        {line + "\n" + "53464450\n", 20, HexTextFault::None, 0},
        {line + "\r\n" + "5346ABcd\r\n\r\n\n", 20, HexTextFault::None, 0}, // CR LF, either case, trailing lines
        {line, 16, HexTextFault::None, 0},                                 // no final newline
        {"\n\n" + line + "\n\n" + line + "\n", 32, HexTextFault::None, 0},
        {"", 0, HexTextFault::Empty, 0},
        {"\n\r\n", 0, HexTextFault::Empty, 0},
        {line + "\n" + "5346445\n", 0, HexTextFault::OddDigitCount, 2},
        {line + "\n" + "53 46 44 50\n", 0, HexTextFault::OddDigitCount, 2},
        {"5346445g\n", 0, HexTextFault::NotHexDigit, 1},
        {"0x464450\n", 0, HexTextFault::NotHexDigit, 1},
        {line + "00\n", 0, HexTextFault::LongLine, 1},
        {"5346\n" + line + "\n", 0, HexTextFault::ShortLine, 1},
        {std::string(256, '\n') + "\0\0"s, 0, HexTextFault::NotHexDigit, 257},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const HexTextRead read = ReadHexText(c.text);
        EXPECT_EQ(read.fault, c.fault);
        EXPECT_EQ(read.line, c.line);
        EXPECT_EQ(read.bytes.size(), c.bytes);
    }
    EXPECT_EQ(ReadHexText("53464450\n").bytes, (std::vector<uint8_t>{'S', 'F', 'D', 'P'}));

    // No more than one read of MaxReach bytes.
    std::string longest;
    for (std::size_t i = 0; i < MaxReach / 16; ++i) longest += line + "\n";
    EXPECT_TRUE(ReadHexText(longest).ok());
    const HexTextRead tooLong = ReadHexText(longest + "00\n");
    EXPECT_EQ(tooLong.fault, HexTextFault::TooLong);
    EXPECT_EQ(tooLong.line, MaxReach / 16 + 1);
}

// The dumps are written as the format's writer writes them: reading and writing gives the file.
TEST(SfdpHexText, WriterGivesBackEveryDumpText)
{
    for (const DumpText& text : EmbeddedDumpTexts()) {
        const HexTextRead read = ReadHexText(text.hex);
        ASSERT_TRUE(read.ok()) << text.part;
        EXPECT_EQ(WriteHexText(read.bytes), text.hex) << text.part;
    }
    EXPECT_EQ(WriteHexText({}), "");
}
