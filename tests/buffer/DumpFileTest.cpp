#include <algorithm>
#include <cstring>
#include <numeric>
#include <vector>

#include <gtest/gtest.h>

#include "buffer/BinDump.h"
#include "buffer/Crc.h"
#include "buffer/DumpTexts.h"
#include "buffer/E2pDump.h"
#include "buffer/IntelHexReader.h"
#include "buffer/IntelHexWriter.h"
#include "fileio/FileError.h"
#include "tests/support/TempFolder.h"

#include <sys/stat.h>

namespace {

std::vector<std::uint8_t> Counting(std::size_t size)
{
    std::vector<std::uint8_t> bytes(size);
    std::iota(bytes.begin(), bytes.end(), std::uint8_t{1});
    return bytes;
}

// A well-formed E2P file around `data`.
std::vector<std::uint8_t> E2PFile(const std::vector<std::uint8_t>& data)
{
    std::vector<std::uint8_t> file(kE2PHeaderSize, 0x20);
    std::memcpy(file.data(), "E2P!Lanc", 8);
    const std::uint16_t dataCrc = CRC16(data);
    file[148] = static_cast<std::uint8_t>(dataCrc);
    file[149] = static_cast<std::uint8_t>(dataCrc >> 8);
    const std::uint16_t headerCrc = CRC16(std::span(file).first(150));
    file[150] = static_cast<std::uint8_t>(headerCrc);
    file[151] = static_cast<std::uint8_t>(headerCrc >> 8);
    file.insert(file.end(), data.begin(), data.end());
    return file;
}

struct BinCase {
    const char* name;
    std::size_t fileSize;
    const char* extension;
    std::size_t destinationSize;
    std::size_t bytesLoaded;
    std::size_t expectedSize; // chip size is 256
    bool registers;
};

void PrintTo(const BinCase& c, std::ostream* out)
{
    *out << c.name;
}

class BinLoad : public TempFolder, public ::testing::WithParamInterface<BinCase> {};

// The same table for the in-memory loader and the file loader.
TEST_P(BinLoad, SizesAndRegisterBytes)
{
    const BinCase& c = GetParam();
    const auto file = Counting(c.fileSize);
    const auto path = Write("dump", file);
    for (const bool fromFile : {false, true}) {
        std::vector<std::uint8_t> destination(c.destinationSize, 0xEE);
        const DumpLoad load =
            fromFile ? LoadBinFile(path, c.extension, destination, 256) : LoadBin(file, c.extension, destination, 256);
        EXPECT_EQ(load.result, DumpResult::Loaded);
        EXPECT_EQ(load.bytesLoaded, c.bytesLoaded);
        EXPECT_EQ(load.expectedSize, c.expectedSize);
        EXPECT_EQ(load.sizeDiffers(), c.bytesLoaded != c.expectedSize);
        EXPECT_TRUE(std::equal(file.begin(), file.begin() + static_cast<long>(c.bytesLoaded), destination.begin()));
        EXPECT_TRUE(std::all_of(destination.begin() + static_cast<long>(c.bytesLoaded), destination.end(),
                                [](auto b) { return b == 0xEE; })); // the rest keeps its contents
        ASSERT_EQ(load.statusRegisters.has_value(), c.registers);
        if (c.registers) {
            const std::array<std::uint8_t, 3> last = {file[c.fileSize - 3], file[c.fileSize - 2], file[c.fileSize - 1]};
            EXPECT_EQ(*load.statusRegisters, last);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Buffer, BinLoad,
                         ::testing::Values(BinCase{"ChipSized", 256, ".BIN", 1024, 256, 256, false},
                                           BinCase{"LongerThanChip", 300, ".BIN", 1024, 300, 256, false},
                                           BinCase{"ShorterThanChip", 100, ".BIN", 1024, 100, 256, false},
                                           BinCase{"CutAtDestination", 2000, ".BIN", 1024, 1024, 256, false},
                                           BinCase{"CommandLineFileIsBin", 259, "", 1024, 259, 256, false},
                                           BinCase{"LowerCaseExtensionIsNotBrg", 259, ".brg", 1024, 259, 256, false},
                                           BinCase{"BrgWithRegisters", 259, ".BRG", 1024, 259, 259, true},
                                           BinCase{"BrgShorterThanThreeBytes", 2, ".BRG", 1024, 2, 259, false},
                                           BinCase{"EmptyBrg", 0, ".BRG", 1024, 0, 259, false},
                                           BinCase{"BrgLargerThanDestination", 2000, ".BRG", 1024, 1024, 259, true}),
                         [](const auto& test) { return std::string(test.param.name); });

struct E2PCase {
    const char* name;
    std::size_t dataSize;
    void (*spoil)(std::vector<std::uint8_t>&);
    DumpResult result;
};

void PrintTo(const E2PCase& c, std::ostream* out)
{
    *out << c.name;
}

class E2PLoad : public TempFolder, public ::testing::WithParamInterface<E2PCase> {};

TEST_P(E2PLoad, IdentifierAndCrcChecks)
{
    const E2PCase& c = GetParam();
    auto file = E2PFile(Counting(c.dataSize));
    if (c.spoil) c.spoil(file);
    const auto path = Write("dump.E2P", file);
    for (const bool fromFile : {false, true}) {
        std::vector<std::uint8_t> destination(512, 0xEE);
        const DumpLoad load = fromFile ? LoadE2PFile(path, destination, 256) : LoadE2P(file, destination, 256);
        EXPECT_EQ(load.result, c.result);
        if (c.result != DumpResult::Loaded) {
            EXPECT_TRUE(std::all_of(destination.begin(), destination.end(), [](auto b) { return b == 0xEE; }));
            continue;
        }
        EXPECT_EQ(load.bytesLoaded, std::min<std::size_t>(c.dataSize, 512));
        EXPECT_EQ(load.sizeDiffers(), c.dataSize != 256);
        EXPECT_TRUE(std::equal(file.begin() + kE2PHeaderSize,
                               file.begin() + static_cast<long>(kE2PHeaderSize + load.bytesLoaded),
                               destination.begin()));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Buffer, E2PLoad,
    ::testing::Values(E2PCase{"ChipSized", 256, nullptr, DumpResult::Loaded},
                      E2PCase{"LargerThanDestination", 600, nullptr, DumpResult::Loaded},
                      E2PCase{"HeaderOnly", 0, nullptr, DumpResult::Loaded},
                      E2PCase{"WrongIdentifier", 256, [](auto& f) { f[7] = 'C'; }, DumpResult::IdentifierError},
                      E2PCase{"ShorterThanHeader", 0, [](auto& f) { f.resize(151); }, DumpResult::IdentifierError},
                      E2PCase{"Empty", 0, [](auto& f) { f.clear(); }, DumpResult::IdentifierError},
                      E2PCase{"DataAltered", 256, [](auto& f) { f[200] ^= 1; }, DumpResult::CrcError},
                      E2PCase{"HeaderAltered", 256, [](auto& f) { f[100] ^= 1; }, DumpResult::CrcError},
                      E2PCase{"DataTruncated", 256, [](auto& f) { f.pop_back(); }, DumpResult::CrcError}),
    [](const auto& test) { return std::string(test.param.name); });

using DumpFile = TempFolder;

TEST_F(DumpFile, MissingFilesCannotBeOpened)
{
    std::vector<std::uint8_t> destination(16);
    EXPECT_EQ(LoadBinFile(folder / "none.BIN", ".BIN", destination, 16).result, DumpResult::CannotOpen);
    EXPECT_EQ(LoadE2PFile(folder / "none.E2P", destination, 16).result, DumpResult::CannotOpen);
    EXPECT_EQ(LoadBinFile(folder, "", destination, 16).result, DumpResult::CannotOpen);
}

// Every loader by path, as the program calls it: the result and the cause of a failure.
struct LoaderResult {
    bool loaded;
    std::error_code error;
};
const struct {
    const char* name;
    LoaderResult (*load)(const std::filesystem::path&, std::span<std::uint8_t>);
} kLoaders[] = {
    {"BIN",
     [](const auto& path, auto destination) {
         const DumpLoad load = LoadBinFile(path, ".BIN", destination, 16);
         return LoaderResult{load.result == DumpResult::Loaded, load.error};
     }},
    {"BRG",
     [](const auto& path, auto destination) {
         const DumpLoad load = LoadBinFile(path, ".BRG", destination, 16);
         return LoaderResult{load.result == DumpResult::Loaded, load.error};
     }},
    {"E2P",
     [](const auto& path, auto destination) {
         const DumpLoad load = LoadE2PFile(path, destination, 16);
         return LoaderResult{load.result == DumpResult::Loaded, load.error};
     }},
    {"HEX",
     [](const auto& path, auto destination) {
         const HexReadResult read = ReadHexFile(path, destination);
         return LoaderResult{read.loaded(), read.error};
     }},
};

// A FIFO would block an open for reading until a writer comes; a folder or a device is no dump.
// Each is refused before anything is read, and the buffer keeps its bytes.
TEST_F(DumpFile, EveryLoaderRefusesWhatIsNotARegularFile)
{
    const auto fifo = folder / "pipe.bin";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const auto& loader : kLoaders) {
        for (const std::filesystem::path& path : {fifo, folder, std::filesystem::path("/dev/zero")}) {
            std::vector<std::uint8_t> destination(16, 0xEE);
            const LoaderResult result = loader.load(path, destination);
            EXPECT_FALSE(result.loaded) << loader.name << " " << path;
            EXPECT_EQ(result.error, fileio::FileError::NotRegularFile) << loader.name << " " << path;
            EXPECT_EQ(std::count(destination.begin(), destination.end(), 0xEE), 16) << loader.name << " " << path;
        }
        std::vector<std::uint8_t> destination(16);
        EXPECT_EQ(loader.load(folder / "none", destination).error, std::errc::no_such_file_or_directory) << loader.name;
        // A regular file whose reading fails: the kernel answers EIO for unmapped memory.
        EXPECT_EQ(loader.load("/proc/self/mem", destination).error, std::errc::io_error) << loader.name;
    }
    const TextPair text = CannotOpenText(fifo, fileio::FileError::NotRegularFile);
    EXPECT_EQ(text.en, "Cannot open " + fifo.string() + ": it is not a regular file (a folder, a pipe or a device)");
    EXPECT_EQ(text.ru, "Не удаётся открыть " + fifo.string() + ": это не обычный файл (папка, канал или устройство)");
    EXPECT_EQ(ReadErrorText("/a/b.BIN", std::make_error_code(std::errc::io_error)).en,
              "Cannot read the file /a/b.BIN: Input/output error");
}

// Every dump saver refuses a read-only target the same way and names the cause.
TEST_F(DumpFile, SaversRefuseAReadOnlyTarget)
{
    const auto data = Counting(32);
    const std::uint8_t registers[] = {1, 2, 3};
    const struct {
        const char* name;
        std::error_code (*save)(const std::filesystem::path&, std::span<const std::uint8_t>,
                                std::span<const std::uint8_t>);
    } savers[] = {
        {"BIN", [](const auto& path, auto bytes, auto) { return SaveBin(path, bytes); }},
        {"BRG", [](const auto& path, auto bytes, auto regs) { return SaveBrg(path, bytes, regs); }},
        {"HEX", [](const auto& path, auto bytes, auto) { return WriteHexFile(path, bytes); }},
    };
    const auto old = Counting(5);
    for (const auto& saver : savers) {
        const auto path = Write(std::string("locked.") + saver.name, old);
        std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
        const std::error_code error = saver.save(path, data, std::span(registers));
        EXPECT_EQ(error, std::errc::permission_denied) << saver.name;
        EXPECT_EQ(Read(path), old) << saver.name;
        EXPECT_EQ(SaveErrorText(path, error).en, "Cannot save the file " + path.string() + ": Permission denied");
        EXPECT_EQ(SaveErrorText(path, error).ru, "Не удалось сохранить файл " + path.string() + ": Permission denied");
    }
    EXPECT_EQ(FilesInFolder(), 3u); // no temporaries left
}

TEST_F(DumpFile, SavesReplaceTheTargetWhole)
{
    const auto data = Counting(300);
    const std::uint8_t registers[] = {0x1C, 0x02, 0x60};
    const auto path = folder / "dump.BRG";
    Write("dump.BRG", Counting(5000)); // an older, longer file of the same name

    ASSERT_FALSE(SaveBrg(path, data, registers));
    auto expected = data;
    expected.insert(expected.end(), std::begin(registers), std::end(registers));
    EXPECT_EQ(Read(path), expected);
    ASSERT_FALSE(SaveBrg(path, data, {})); // I2C chip: no register bytes
    EXPECT_EQ(Read(path), data);
    ASSERT_FALSE(SaveBin(folder / "dump.BIN", data));
    EXPECT_EQ(Read(folder / "dump.BIN"), data);
    EXPECT_EQ(FilesInFolder(), 2u); // no temporaries left

    EXPECT_TRUE(SaveBin(folder / "missing" / "dump.BIN", data));
    EXPECT_EQ(FilesInFolder(), 2u);
}

TEST(DumpTexts, LogLinesAndErrorBoxes)
{
    EXPECT_EQ(LoadedFileText("/home/u/dumps/W25Q64.BIN", 300),
              (TextPair{"\nLoaded file W25Q64.BIN 300 bytes", "\nЗагружен файл W25Q64.BIN 300 байт"}));
    EXPECT_EQ(SizeDiffersText().en, "File size differs from size of the device!");
    EXPECT_EQ(PickText(Language::Russian, SizeDiffersText()), "Размер файла не совпадает с размером чипа!");
    EXPECT_EQ(DumpErrorText(DumpResult::CannotOpen, "/a/b.BIN"), "Can not open file /a/b.BIN");
    EXPECT_EQ(DumpErrorText(DumpResult::IdentifierError, "/a/b.E2P"), "Identifier Error in file /a/b.E2P");
    EXPECT_EQ(DumpErrorText(DumpResult::CrcError, "/a/b.E2P"), "CRC error in file /a/b.E2P");
    EXPECT_EQ(DumpErrorText(DumpResult::Loaded, "/a/b.E2P"), "");
}

} // namespace
