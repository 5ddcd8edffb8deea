#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "buffer/HexTexts.h"
#include "buffer/IntelHexReader.h"
#include "buffer/IntelHexWriter.h"
#include "tests/support/TempFolder.h"

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
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + (i >> 8));
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
    for (auto& byte : bytes) byte = static_cast<std::uint8_t>(random());
    std::vector<std::uint8_t> destination(100000, 0x55);
    const HexReadResult read = ReadHex(HexText(bytes), destination);
    EXPECT_EQ(read.result, HexRead::Complete);
    EXPECT_EQ(read.bytesCopied, bytes.size());
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), destination.begin()));
    EXPECT_EQ(destination[bytes.size()], 0x55); // above the highest address: unchanged
}

// Each case: HEX text, then the expected result, the bad line and its fault, bytes copied and
// bytes at given offsets.
struct ReadCase {
    const char* name;
    std::string text;
    HexRead result;
    std::size_t line;
    HexFault fault;
    std::size_t bytesCopied;
    std::vector<std::pair<std::size_t, std::uint8_t>> bytes;
};

void PrintTo(const ReadCase& c, std::ostream* out)
{
    *out << c.name;
}

class IntelHexRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(IntelHexRead, StoresWhatTheRecordsSay)
{
    const ReadCase& c = GetParam();
    std::vector<std::uint8_t> destination(kHexImageSize + 0x100000, 0xAA);
    const HexReadResult read = ReadHex(c.text, destination);
    EXPECT_EQ(read.result, c.result);
    EXPECT_EQ(read.line, c.line);
    EXPECT_EQ(read.fault, c.fault);
    EXPECT_EQ(read.bytesCopied, c.bytesCopied);
    for (const auto& [offset, value] : c.bytes)
        EXPECT_EQ(destination[offset], value) << "offset 0x" << std::hex << offset;
    if (c.result != HexRead::Complete) {
        EXPECT_TRUE(std::all_of(destination.begin(), destination.end(), [](auto b) { return b == 0xAA; }));
    }
}

const std::string kEnd = ":00000001FF\n";
constexpr auto kLoaded = HexRead::Complete;
constexpr auto kBad = HexRead::BadRecord;
constexpr auto kSound = HexFault::None;

INSTANTIATE_TEST_SUITE_P(
    Buffer, IntelHexRead,
    ::testing::Values(
        ReadCase{"DataAbove0x100LeavesFFBelow",
                 ":02010000A1B2AA\n" + kEnd,
                 kLoaded,
                 0,
                 kSound,
                 0x102,
                 {{0, 0xFF}, {0xFF, 0xFF}, {0x100, 0xA1}, {0x101, 0xB2}, {0x102, 0xAA}}},
        ReadCase{"SingleByteFileLoads", ":01002000429D\n" + kEnd, kLoaded, 0, kSound, 0x21, {{0x20, 0x42}, {0, 0xFF}}},
        // Whichever kind of address record came last sets the base: 02 0x1000 gives 0x10000,
        // 04 0x0002 gives 0x20000, and back again.
        ReadCase{"SegmentThenLinearAddressing",
                 ":020000021000EC\n:010010007778\n:020000040002F8\n:010020008857\n" + kEnd,
                 kLoaded,
                 0,
                 kSound,
                 0x20021,
                 {{0x10010, 0x77}, {0x20020, 0x88}, {0x10020, 0xFF}}},
        ReadCase{"LinearThenSegmentAddressing",
                 ":020000040002F8\n:010010007778\n:020000021000EC\n:010020008857\n" + kEnd,
                 kLoaded,
                 0,
                 kSound,
                 0x20011,
                 {{0x20010, 0x77}, {0x10020, 0x88}, {0x20020, 0xAA}}},
        // Start segment (03) and start linear (05) addresses tell a CPU where to jump: no data.
        ReadCase{"StartAddressRecordsIgnored",
                 ":040000031000234581\n:0100000011EE\n:04000005000123458E\n:0100010022DC\n" + kEnd,
                 kLoaded,
                 0,
                 kSound,
                 2,
                 {{0, 0x11}, {1, 0x22}}},
        ReadCase{"LinearAbove16MiBDoesNotWrap",
                 ":020000040100F9\n:0100000055AA\n" + kEnd,
                 kLoaded,
                 0,
                 kSound,
                 0x1000001,
                 {{0x1000000, 0x55}, {0, 0xFF}}},
        ReadCase{"LastRecordOfTheImageIsKept",
                 ":0200000403FFF8\n:10FFF000000102030405060708090A0B0C0D0E0F89\n" + kEnd,
                 kLoaded,
                 0,
                 kSound,
                 kHexImageSize,
                 {{0x3FFFFF0, 0x00}, {0x3FFFFFF, 0x0F}, {0x2000000, 0xFF}}},
        ReadCase{"RecordPastTheImageIsSkipped",
                 ":0100000011EE\n:0200000403FFF8\n:10FFF100000102030405060708090A0B0C0D0E0F88\n" + kEnd,
                 kLoaded,
                 0,
                 kSound,
                 1,
                 {{0, 0x11}, {1, 0xAA}, {0x3FFFFF1, 0xAA}}},
        ReadCase{"LinesAfterTheEndRecordTolerated",
                 ":0100000011EE\n" + kEnd + "trailing words\n\n",
                 kLoaded,
                 0,
                 kSound,
                 1,
                 {{0, 0x11}}},
        ReadCase{"CrLfLowerCaseDigitsTrailingBlanks",
                 ":02000000abcd86 \t\r\n:00000001FF\r\n",
                 kLoaded,
                 0,
                 kSound,
                 2,
                 {{0, 0xAB}, {1, 0xCD}}},
        ReadCase{"NoEndRecordAtTheLastLine", ":0100000011EE", kLoaded, 0, kSound, 1, {{0, 0x11}}},
        ReadCase{"LineOf254CharactersFits",
                 ":79000000" + std::string(242, '1') + "7E\r\n" + kEnd,
                 kLoaded,
                 0,
                 kSound,
                 121,
                 {{0, 0x11}, {120, 0x11}}},
        ReadCase{"NothingAtAll", "", HexRead::NoRecords, 0, kSound, 0, {}},
        ReadCase{"WrongChecksum", ":0100000011EE\n:020000001234FF\n" + kEnd, kBad, 2, HexFault::BadChecksum, 0, {}},
        ReadCase{"ByteCountBeyondTheData", ":04000000AABB\n" + kEnd, kBad, 1, HexFault::ShortData, 0, {}},
        ReadCase{"HeaderNotHexadecimal", ":0100000011EE\n:0100z00011EE\n" + kEnd, kBad, 2, HexFault::BadHeader, 0, {}},
        ReadCase{"HeaderCutShort", ":010000\n", kBad, 1, HexFault::BadHeader, 0, {}},
        ReadCase{"DataDigitNotHexadecimal", ":010000001GEE\n" + kEnd, kBad, 1, HexFault::BadDigit, 0, {}},
        ReadCase{"CharactersAfterTheChecksum", ":0100000011EE00\n" + kEnd, kBad, 1, HexFault::ExtraCharacters, 0, {}},
        ReadCase{"AddressRecordOfThreeBytes", ":03000004000100F8\n" + kEnd, kBad, 1, HexFault::BadAddressRecord, 0, {}},
        ReadCase{"BadRecordAfterTheEndRecord",
                 ":0100000011EE\n" + kEnd + ":0100000011EF\n",
                 kBad,
                 3,
                 HexFault::BadChecksum,
                 0,
                 {}},
        ReadCase{"LineWithoutColon", ":0100000011EE\nnot a record\n" + kEnd, kBad, 2, HexFault::NoColon, 0, {}},
        ReadCase{"EmptyLineBeforeEnd", ":0100000011EE\n\n" + kEnd, kBad, 2, HexFault::NoColon, 0, {}},
        ReadCase{
            "ZeroLengthDataRecord", ":0100000011EE\n:00001000F0\n" + kEnd, kBad, 2, HexFault::EmptyDataRecord, 0, {}},
        // 122 data bytes make a 255-character line, one more than a line may hold.
        ReadCase{"LineOf255Characters",
                 ":7A000000" + std::string(244, '0') + "86\n" + kEnd,
                 kBad,
                 1,
                 HexFault::TooLong,
                 0,
                 {}}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(IntelHexReader, TextSplitAnywhereReadsTheSame)
{
    const auto bytes = Counting(300);
    const std::string good = HexText(bytes);
    // A line far longer than a record, continued across pieces: address record, 19 data records,
    // the end record, then this at line 22.
    const struct {
        std::string text;
        HexRead result;
        std::size_t line;
    } cases[] = {{good, HexRead::Complete, 0},
                 {good + ":7A000000" + std::string(300, '0') + "\r\n", HexRead::BadRecord, 22}};
    for (const auto& c : cases) {
        std::vector<std::uint8_t> whole(512, 0), pieces(512, 0);
        const HexReadResult expected = ReadHex(c.text, whole);
        EXPECT_EQ(expected.result, c.result);
        EXPECT_EQ(expected.line, c.line);
        for (std::size_t step : {1, 2, 3, 7, 44, 255, 256}) {
            std::fill(pieces.begin(), pieces.end(), 0);
            HexReader reader;
            for (std::size_t at = 0; at < c.text.size(); at += step)
                reader.Feed(std::string_view(c.text).substr(at, step));
            const HexReadResult read = reader.Finish(pieces);
            EXPECT_EQ(read.result, expected.result) << step;
            EXPECT_EQ(read.line, expected.line) << step;
            EXPECT_EQ(read.bytesCopied, expected.bytesCopied) << step;
            EXPECT_EQ(pieces, whole) << step;
        }
    }
}

// Records beyond a small destination are read and checked but not kept; the destination gets what
// fits, 0xFF where no record set a byte.
TEST(IntelHexReader, ASmallDestinationTakesWhatFits)
{
    std::vector<std::uint8_t> destination(16, 0xAA);
    HexReadResult read = ReadHex(":020004001122C7\n:0100200033AC\n" + kEnd, destination);
    EXPECT_EQ(read.bytesCopied, 16u);
    EXPECT_EQ(destination, (std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 0x11, 0x22, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                                      0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    read = ReadHex(":0100200033AC\n:0100210033AB\n" + kEnd, destination);
    EXPECT_EQ(read.bytesCopied, 16u);
    EXPECT_EQ(destination, std::vector<std::uint8_t>(16, 0xFF));
    read = ReadHex(":0100200033AC\n:0100210033AC\n" + kEnd, destination);
    EXPECT_EQ(read.fault, HexFault::BadChecksum);
}

TEST(IntelHexReader, HostileTextNeverLeavesTheBuffers)
{
    const std::string cases[] = {
        ":",
        ":F",
        ":FF0000",
        ":FF000000",                         // 255 bytes announced, none present
        ":FFFFFF00" + std::string(600, 'F'), // runs past the end of a small image
        ":10zz0000\n:zz\n",                  // header that does not parse
        std::string(":\0\0\0\0\0\0\0\0\n", 11),
        ":02000004FFFFFC\n:10FFFF00FF\n", // highest possible linear address
        ":02000002FFFFFE\n:FFFFFF00" + std::string(510, 'A') + "\n",
        std::string(1 << 20, ':'),
        std::string(100000, 'A') + "\n",
    };
    // A failed read leaves every byte as it was.
    auto check = [](const std::string& text) {
        std::vector<std::uint8_t> destination(64, 0xAA);
        const HexReadResult read = ReadHex(text, destination);
        EXPECT_LE(read.bytesCopied, destination.size());
        if (!read.loaded()) {
            EXPECT_EQ(std::count(destination.begin(), destination.end(), 0xAA), 64);
        }
    };
    for (const auto& text : cases) check(text);
    std::mt19937 random(3);
    const std::string alphabet = ":0123456789ABCDEF\r\n\n\n";
    for (int round = 0; round < 500; ++round) {
        std::string text(random() % 2000, ' ');
        for (auto& c : text) c = alphabet[random() % alphabet.size()];
        check(text);
    }
}

using IntelHexFile = TempFolder;

TEST_F(IntelHexFile, WriteThenReadAFileAndReportFailures)
{
    const auto bytes = Counting(1000);
    const auto path = folder / "dump.HEX";
    ASSERT_FALSE(WriteHexFile(path, bytes));
    EXPECT_EQ(FilesInFolder(), 1u); // no temporary left behind
    std::vector<std::uint8_t> destination(2000, 0);
    EXPECT_EQ(ReadHexFile(path, destination).bytesCopied, 1000u);
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), destination.begin()));

    EXPECT_TRUE(WriteHexFile(folder / "missing" / "dump.HEX", bytes));
    EXPECT_EQ(ReadHexFile(folder / "missing.HEX", destination).result, HexRead::CannotOpen);
    EXPECT_EQ(ReadHexFile(folder, destination).result, HexRead::CannotOpen);
}

// 2 MiB dumps converted by the two common tools, made here from a seed rather than kept as 6 MB
// fixtures. objcopy writes extended segment (02) records below 1 MiB and extended linear (04)
// records above, with a start segment record (03); srec_cat writes 04 records and a start
// linear record (05). Every byte must land where it belongs.
TEST_F(IntelHexFile, FilesMadeByObjcopyAndSrecCatLoadExactly)
{
    std::vector<std::uint8_t> bytes(2 * 1024 * 1024);
    std::mt19937 random(20240611);
    for (auto& byte : bytes) byte = static_cast<std::uint8_t>(random());
    const auto binary = Write("image.bin", bytes);

    const auto objcopyHex = folder / "objcopy.hex", srecCatHex = folder / "srec_cat.hex";
    const struct {
        const char* tool;
        std::string command;
        std::filesystem::path hex;
        std::vector<std::string> recordsExpected; // kinds of address record the tool must write
    } cases[] = {
        {"objcopy (binutils)",
         "objcopy -I binary -O ihex --set-start=0x12345 " + binary.string() + " " + objcopyHex.string(),
         objcopyHex,
         {":02000002", ":02000004", ":04000003"}},
        {"srec_cat (srecord)",
         "srec_cat " + binary.string() + " -binary -execution-start-address=0x12345 -o " + srecCatHex.string() +
             " -intel",
         srecCatHex,
         {":02000004", ":04000005"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tool);
        ASSERT_EQ(std::system(c.command.c_str()), 0) << c.tool << " is needed: " << c.command;
        const auto& hex = c.hex;
        const std::string text = ReadText(hex);
        for (const auto& record : c.recordsExpected) EXPECT_NE(text.find(record), std::string::npos) << record;

        std::vector<std::uint8_t> destination(4 * 1024 * 1024, 0xAA);
        const HexReadResult read = ReadHexFile(hex, destination);
        ASSERT_EQ(read.result, HexRead::Complete);
        EXPECT_TRUE(read.endRecordSeen);
        EXPECT_EQ(read.recordsSkipped, 0u);
        EXPECT_EQ(read.bytesCopied, bytes.size());
        const auto [differs, unused] = std::mismatch(bytes.begin(), bytes.end(), destination.begin());
        EXPECT_EQ(differs, bytes.end()) << "first wrong byte at 0x" << std::hex << (differs - bytes.begin());
        EXPECT_EQ(destination[bytes.size()], 0xAA);
    }
}

// Damaged files as users meet them: each fails at its line, naming the fault, and the buffer
// keeps its bytes; a file without an end record loads and says so.
TEST(IntelHexReader, DamagedFilesFailAtTheirLine)
{
    const struct {
        const char* file;
        HexRead result;
        std::size_t line;
        HexFault fault;
    } cases[] = {
        {"badchecksum.hex", HexRead::BadRecord, 1, HexFault::BadChecksum},
        {"flipped_digit.hex", HexRead::BadRecord, 1, HexFault::BadChecksum},
        {"count_too_big.hex", HexRead::BadRecord, 1, HexFault::ShortData},
        {"bad_header_reuse.hex", HexRead::BadRecord, 2, HexFault::BadHeader},
        {"nocolon_before_end.hex", HexRead::BadRecord, 2, HexFault::NoColon},
        {"noend.hex", HexRead::Complete, 0, HexFault::None},
    };
    for (const auto& c : cases) {
        const std::filesystem::path path = std::filesystem::path(VESPERA_BUFFER_TEST_DATA) / c.file;
        std::vector<std::uint8_t> destination(64, 0xAA);
        const HexReadResult read = ReadHexFile(path, destination);
        EXPECT_EQ(read.result, c.result) << c.file;
        EXPECT_EQ(read.line, c.line) << c.file;
        EXPECT_EQ(read.fault, c.fault) << c.file;
        if (read.loaded()) {
            EXPECT_FALSE(read.endRecordSeen) << c.file;
            EXPECT_EQ(read.bytesCopied, 16u);
            EXPECT_EQ(destination[15], 0x12);
            continue;
        }
        EXPECT_EQ(std::count(destination.begin(), destination.end(), 0xAA), 64) << c.file;
        EXPECT_NE(HexFailureText(read, path).en.find("line " + std::to_string(c.line) + ": "), std::string::npos);
        EXPECT_NE(HexFailureText(read, path).ru.find("строка " + std::to_string(c.line) + ": "), std::string::npos);
    }
}

TEST(HexTexts, NameTheFileTheLineAndTheCause)
{
    const std::filesystem::path path = "/dumps/a.hex";
    HexReadResult read;
    read.result = HexRead::BadRecord;
    read.line = 3;
    read.fault = HexFault::BadChecksum;
    EXPECT_EQ(HexFailureText(read, path),
              (TextPair{"The file /dumps/a.hex was not loaded: line 3: wrong checksum",
                        "Файл /dumps/a.hex не загружен: строка 3: неверная контрольная сумма"}));
    read.result = HexRead::CannotOpen;
    read.error = std::make_error_code(std::errc::no_such_file_or_directory);
    EXPECT_EQ(HexFailureText(read, path).en, "Cannot open the file /dumps/a.hex: No such file or directory");
    EXPECT_EQ(HexFailureText(read, path).ru, "Не удаётся открыть файл /dumps/a.hex: No such file or directory");
    read.result = HexRead::NoRecords;
    EXPECT_EQ(HexFailureText(read, path).en, "The file /dumps/a.hex holds no Intel HEX record; nothing was loaded");
    EXPECT_EQ(HexNoEndRecordText(path),
              (TextPair{"The file /dumps/a.hex has no end record; it may be incomplete",
                        "В файле /dumps/a.hex нет записи конца файла; возможно, он неполный"}));
}

} // namespace
