#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "buffer/IntelHexReader.h"
#include "buffer/IntelHexWriter.h"
#include "TempFolder.h"

namespace {

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        const auto end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::vector<std::uint8_t> Counting(std::size_t size)
{
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7 + (i >> 8));
    return bytes;
}

TEST(IntelHexWriter, LineLayoutForSegmentBoundaries)
{
    const auto bytes = Counting(65552);

    // 256 bytes: one address record, sixteen data records 0000..00F0, the end record.
    auto lines = Lines(HexText(std::span(bytes).first(256)));
    ASSERT_EQ(lines.size(), 18u);
    EXPECT_EQ(lines[0], ":020000040000FA");
    EXPECT_EQ(lines[1], ":1000000000070E151C232A31383F464D545B6269A8");
    EXPECT_EQ(lines[16].substr(0, 9), ":1000F000");
    EXPECT_EQ(lines[17], ":00000001FF");

    // 65536 bytes: the second segment is empty, its address record stands alone.
    lines = Lines(HexText(std::span(bytes).first(65536)));
    ASSERT_EQ(lines.size(), 1u + 4096 + 2);
    EXPECT_EQ(lines[4096].substr(0, 9), ":10FFF000");
    EXPECT_EQ(lines[4097], ":020000040001F9");
    EXPECT_EQ(lines[4098], ":00000001FF");

    // 65552 bytes: one 16-byte record at offset 0000 of segment 1.
    lines = Lines(HexText(bytes));
    ASSERT_EQ(lines.size(), 1u + 4096 + 1 + 1 + 1);
    EXPECT_EQ(lines[4097], ":020000040001F9");
    EXPECT_EQ(lines[4098].substr(0, 9), ":10000000");
    EXPECT_EQ(lines[4099], ":00000001FF");

    // Nothing to write: the first address record and the end record; a short last record.
    EXPECT_EQ(HexText({}), ":020000040000FA\r\n:00000001FF\r\n");
    const std::uint8_t three[] = {0x01, 0x02, 0xFF};
    EXPECT_EQ(Lines(HexText(three))[1], ":030000000102FFFB");
}

TEST(IntelHexReader, RoundTripRestoresTheBytes)
{
    std::vector<std::uint8_t> bytes(70001);
    std::mt19937 random(1);
    for (auto& byte : bytes)
        byte = static_cast<std::uint8_t>(random());
    std::vector<std::uint8_t> destination(100000, 0x55);
    const HexReadResult read = ReadHex(HexText(bytes), destination);
    EXPECT_EQ(read.result, HexRead::Complete);
    EXPECT_EQ(read.bytesCopied, bytes.size());
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), destination.begin()));
    EXPECT_EQ(destination[bytes.size()], 0x55);  // above the highest address: unchanged
}

// Each case: HEX text, then the expected result, bytes copied and bytes at given offsets.
struct ReadCase {
    const char* name;
    std::string text;
    HexRead result;
    std::size_t bytesCopied;
    std::vector<std::pair<std::size_t, std::uint8_t>> bytes;
};

void PrintTo(const ReadCase& c, std::ostream* out) { *out << c.name; }

class IntelHexRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(IntelHexRead, StoresWhatTheRecordsSay)
{
    const ReadCase& c = GetParam();
    std::vector<std::uint8_t> destination(kHexImageSize + 0x100000, 0xAA);
    const HexReadResult read = ReadHex(c.text, destination);
    EXPECT_EQ(read.result, c.result);
    EXPECT_EQ(read.bytesCopied, c.bytesCopied);
    for (const auto& [offset, value] : c.bytes)
        EXPECT_EQ(destination[offset], value) << "offset 0x" << std::hex << offset;
    if (c.result != HexRead::Complete) {
        EXPECT_TRUE(std::all_of(destination.begin(), destination.end(), [](auto b) { return b == 0xAA; }));
    }
}

const std::string kEnd = ":00000001FF\n";

INSTANTIATE_TEST_SUITE_P(
    Buffer, IntelHexRead,
    ::testing::Values(
        ReadCase{"DataAbove0x100LeavesFFBelow", ":02010000A1B2AA\n" + kEnd, HexRead::Complete, 0x102,
                 {{0, 0xFF}, {0xFF, 0xFF}, {0x100, 0xA1}, {0x101, 0xB2}, {0x102, 0xAA}}},
        ReadCase{"SingleByteFileLoads", ":01002000429D\n" + kEnd, HexRead::Complete, 0x21, {{0x20, 0x42}, {0, 0xFF}}},
        ReadCase{"WrongChecksumAccepted", ":0200000012340000\n" + kEnd, HexRead::Complete, 2, {{0, 0x12}, {1, 0x34}}},
        ReadCase{"SegmentAddressing",
                 ":020000021000EC\n:010010007778\n:020000040002F8\n:010020008857\n" + kEnd, HexRead::Complete,
                 0x10021, {{0x10010, 0x77}, {0x10020, 0x88}}},
        ReadCase{"LinearAddressingIgnoresSegmentRecords",
                 ":020000040001F9\n:010010007778\n:020000021000EC\n:010020008857\n" + kEnd, HexRead::Complete,
                 0x10021, {{0x10010, 0x77}, {0x10020, 0x88}}},
        ReadCase{"LinearAbove16MiBDoesNotWrap", ":020000040100F9\n:0100000055AA\n" + kEnd, HexRead::Complete,
                 0x1000001, {{0x1000000, 0x55}, {0, 0xFF}}},
        ReadCase{"LastRecordOfTheImageIsKept",
                 ":0200000401FFFA\n:10FFF000000102030405060708090A0B0C0D0E0F89\n" + kEnd, HexRead::Complete,
                 kHexImageSize, {{0x1FFFFF0, 0x00}, {0x1FFFFFF, 0x0F}}},
        ReadCase{"RecordPastTheImageIsSkipped",
                 ":0100000011EE\n:0200000401FFFA\n:10FFF100000102030405060708090A0B0C0D0E0F88\n" + kEnd,
                 HexRead::Complete, 1, {{0, 0x11}, {1, 0xAA}, {0x1FFFFF1, 0xAA}}},
        ReadCase{"LinesAfterTheEndRecordTolerated", ":0100000011EE\n" + kEnd + "trailing words\n\n", HexRead::Complete,
                 1, {{0, 0x11}}},
        ReadCase{"CrLfAndLowerCaseDigits", ":02000000abcd86\r\n:00000001FF\r\n", HexRead::Complete, 2,
                 {{0, 0xAB}, {1, 0xCD}}},
        ReadCase{"NoEndRecordAtTheLastLine", ":0100000011EE", HexRead::Complete, 1, {{0, 0x11}}},
        ReadCase{"ShortRecordStoresWhatItHas", ":04000000AABB\n" + kEnd, HexRead::Complete, 4,
                 {{0, 0xAA}, {1, 0xBB}, {2, 0xFF}, {3, 0xFF}}},
        ReadCase{"AbandonLineWithoutColon", ":0100000011EE\nnot a record\n" + kEnd, HexRead::Abandoned, 0, {}},
        ReadCase{"AbandonEmptyLineBeforeEnd", ":0100000011EE\n\n" + kEnd, HexRead::Abandoned, 0, {}},
        ReadCase{"AbandonZeroLengthDataRecord", ":0100000011EE\n:00001000F0\n" + kEnd, HexRead::Abandoned, 0, {}},
        // 122 data bytes make a 255-character line; the line end left over is an empty line.
        ReadCase{"AbandonLineCutAt255Characters", ":7A000000" + std::string(244, '0') + "86\n" + kEnd,
                 HexRead::Abandoned, 0, {}},
        ReadCase{"LineOf254CharactersFits", ":79000000" + std::string(242, '1') + "7E\r\n" + kEnd, HexRead::Complete,
                 121, {{0, 0x11}, {120, 0x11}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IntelHexReader, TextSplitAnywhereReadsTheSame)
{
    const auto bytes = Counting(300);
    const std::string text = HexText(bytes) + ":7A000000" + std::string(300, '0') + "\r\n";
    std::vector<std::uint8_t> whole(512, 0), pieces(512, 0);
    const HexReadResult expected = ReadHex(text, whole);
    for (std::size_t step : {1, 2, 3, 7, 44, 255, 256}) {
        std::fill(pieces.begin(), pieces.end(), 0);
        HexReader reader;
        for (std::size_t at = 0; at < text.size(); at += step)
            reader.Feed(std::string_view(text).substr(at, step));
        const HexReadResult read = reader.Finish(pieces);
        EXPECT_EQ(read.bytesCopied, expected.bytesCopied) << step;
        EXPECT_EQ(pieces, whole) << step;
    }
}

TEST(IntelHexReader, HostileTextNeverLeavesTheBuffers)
{
    const std::string cases[] = {
        ":",
        ":F",
        ":FF0000",
        ":FF000000",                                    // 255 bytes announced, none present
        ":FFFFFF00" + std::string(600, 'F'),           // runs past the end of a small image
        ":10zz0000\n:zz\n",                            // header that does not parse
        std::string(":\0\0\0\0\0\0\0\0\n", 11),
        ":02000004FFFFFC\n:10FFFF00FF\n",             // highest possible linear address
        ":02000002FFFFFE\n:FFFFFF00" + std::string(510, 'A') + "\n",
        std::string(1 << 20, ':'),
        std::string(100000, 'A') + "\n",
    };
    for (const auto& text : cases) {
        std::vector<std::uint8_t> destination(16, 0xAA);
        const HexReadResult read = ReadHex(text, destination);
        EXPECT_LE(read.bytesCopied, destination.size());
    }
    std::mt19937 random(3);
    const std::string alphabet = ":0123456789ABCDEF\r\n\n\n";
    for (int round = 0; round < 500; ++round) {
        std::string text(random() % 2000, ' ');
        for (auto& c : text)
            c = alphabet[random() % alphabet.size()];
        std::vector<std::uint8_t> destination(64, 0xAA);
        EXPECT_LE(ReadHex(text, destination).bytesCopied, destination.size());
    }
}

using IntelHexFile = TempFolder;

TEST_F(IntelHexFile, WriteThenReadAFileAndReportFailures)
{
    const auto bytes = Counting(1000);
    const auto path = folder / "dump.HEX";
    ASSERT_FALSE(WriteHexFile(path, bytes));
    EXPECT_EQ(FilesInFolder(), 1u);  // no temporary left behind
    std::vector<std::uint8_t> destination(2000, 0);
    EXPECT_EQ(ReadHexFile(path, destination).bytesCopied, 1000u);
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), destination.begin()));

    EXPECT_TRUE(WriteHexFile(folder / "missing" / "dump.HEX", bytes));
    EXPECT_EQ(ReadHexFile(folder / "missing.HEX", destination).result, HexRead::CannotOpen);
    EXPECT_EQ(ReadHexFile(folder, destination).result, HexRead::CannotOpen);
}

}  // namespace
