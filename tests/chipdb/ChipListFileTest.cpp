#include <gtest/gtest.h>
#include <zlib.h>

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "chipdb/ChipListDate.h"
#include "chipdb/ChipListFile.h"
#include "tests/support/TempFolder.h"

using namespace chipdb;
namespace fs = std::filesystem;

namespace {

std::vector<std::uint8_t> readFile(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeFile(const fs::path& p, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream(p, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> deflated(const std::vector<std::uint8_t>& content)
{
    uLongf size = compressBound(content.size());
    std::vector<std::uint8_t> out(size);
    compress(out.data(), &size, content.data(), content.size());
    out.resize(size);
    return out;
}

// A full disk: every write fails.
class FailingSaver : public ChipListSaver {
public:
    using ChipListSaver::ChipListSaver;
    bool writeChunk(const std::uint8_t*, std::size_t) override { return ++calls, false; }
    int calls = 0;
};

class ChipListFileTest : public TempFolder {
protected:
    void SetUp() override
    {
        TempFolder::SetUp();
        file = folder / "ChipList.dat";
        table.assign({{"W25Q64JV", "ID_SPI1", 8388608, 256, 20, "WINBOND", "EF4017", 3},
                      {"AT24C02", "ID_24C02", 256, 8, 0, "ATMEL", "", 1}});
    }
    fs::path file;
    ChipTable table;
    const double date = chipListDateFromYmd(std::chrono::year{2018} / 5 / 9);
};

} // namespace

TEST_F(ChipListFileTest, SavedFileLoadsBackSortedByName)
{
    ChipListSaver saver(file);
    ASSERT_TRUE(saver.open());
    ASSERT_EQ(saver.write(date + 0.5, -7, table), 0);
    EXPECT_EQ(FilesInFolder(), 1u);

    ChipTable back;
    const ChipListLoad r = LoadChipList(file, back);
    EXPECT_EQ(r.status, ChipListStatus::Ok);
    EXPECT_EQ(r.date, date + 0.5);
    EXPECT_EQ(r.version, -7);
    EXPECT_EQ(back.order(), ChipField::CHIPTEXT);
    EXPECT_EQ(back.visibleRow(0).CHIPTEXT, "AT24C02");
    EXPECT_EQ(back.visibleRow(1), table.rows()[0]);
    EXPECT_EQ(ymdFromChipListDate(r.date), std::chrono::year{2018} / 5 / 9);
}

TEST_F(ChipListFileTest, HostileFilesGiveDefinedResults)
{
    const auto content = BuildChipList(date, 3, table);
    const auto stream = deflated(content);
    auto cut = [](std::vector<std::uint8_t> v, std::size_t n) {
        v.resize(n);
        return v;
    };
    auto appended = [](std::vector<std::uint8_t> v) {
        v.insert(v.end(), {'j', 'u', 'n', 'k'});
        return v;
    };
    auto damagedImage = content;
    damagedImage[kChipListHeaderSize] = 'X';
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        ChipListStatus status;
        int zlibCode;
        std::size_t rows;
    } const cases[] = {
        {"bytes after the stream", appended(stream), ChipListStatus::Ok, 0, 2},
        {"truncated stream", cut(stream, stream.size() - 6), ChipListStatus::ZlibError, Z_DATA_ERROR, 0},
        {"empty file", {}, ChipListStatus::ZlibError, Z_DATA_ERROR, 0},
        {"not a zlib stream", {'h', 'e', 'l', 'l', 'o'}, ChipListStatus::ZlibError, Z_DATA_ERROR, 0},
        {"short header", deflated(cut(content, 11)), ChipListStatus::DamagedHeader, 0, 0},
        {"damaged image", deflated(damagedImage), ChipListStatus::DamagedImage, 0, 0},
    };
    for (const Case& c : cases) {
        writeFile(file, c.bytes);
        ChipTable t;
        t.assign(table.rows());
        const ChipListLoad r = LoadChipList(file, t);
        EXPECT_EQ(r.status, c.status) << c.what;
        EXPECT_EQ(r.zlibCode, c.zlibCode) << c.what;
        EXPECT_EQ(t.rows().size(), c.rows) << c.what;
    }
    ChipTable t;
    EXPECT_EQ(LoadChipList(folder / "missing.dat", t).status, ChipListStatus::CannotOpen);
}

TEST_F(ChipListFileTest, LargeTablesCrossTheChunkBoundaries)
{
    std::vector<ChipRecord> rows;
    for (int i = 0; i < 20000; ++i)
        rows.push_back(
            {"CHIP" + std::to_string(i * 7919 % 100000), "ID_SPI1", i * 1.0, 256, 0, "M" + std::to_string(i), "", 1});
    table.assign(rows);
    ChipListSaver saver(file);
    ASSERT_TRUE(saver.open());
    ASSERT_EQ(saver.write(date, 1, table), 0);
    ASSERT_GT(fs::file_size(file), 2 * kZChunk); // several input and output chunks
    ChipTable back;
    ASSERT_EQ(LoadChipList(file, back).status, ChipListStatus::Ok);
    EXPECT_EQ(back.rows(), rows);
}

TEST_F(ChipListFileTest, ExecuteFlowRaisesTheVersionAndAFailedSaveKeepsTheOldFile)
{
    // What the editor's Execute does: open, change the table, commit, write with the version field.
    int versionField = 4;
    auto execute = [&](ChipListSaver& saver, const char* name) {
        if (!saver.open()) return 1;
        table.append();
        table.edited().CHIPTEXT = name;
        table.commit();
        return saver.write(date, versionField++, table);
    };
    ChipListSaver saver(file);
    ASSERT_EQ(execute(saver, "NEW1"), 0);
    EXPECT_EQ(versionField, 5);
    const auto good = readFile(file);
    ChipTable back;
    EXPECT_EQ(LoadChipList(file, back).version, 4);
    EXPECT_EQ(back.rows().size(), 3u);

    FailingSaver failing(file);
    EXPECT_EQ(execute(failing, "NEW2"), kFileError);
    EXPECT_EQ(failing.calls, 1);
    EXPECT_EQ(readFile(file), good);    // the previous database is intact
    EXPECT_EQ(FilesInFolder(), 1u);     // and no temporary file is left behind
    EXPECT_EQ(table.rows().size(), 4u); // the table keeps the change

    ChipListSaver nowhere(folder / "no-such-folder" / "ChipList.dat");
    EXPECT_FALSE(nowhere.open());
    EXPECT_EQ(nowhere.write(date, 1, table), kFileError);
}

TEST_F(ChipListFileTest, AReadOnlyFileIsRefusedAndFailuresNameTheirCause)
{
    ChipListSaver first(file);
    ASSERT_TRUE(first.open());
    ASSERT_EQ(first.write(date, 1, table), 0);
    const auto good = readFile(file);

    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read);
    ChipListSaver locked(file);
    EXPECT_FALSE(locked.open());
    EXPECT_EQ(locked.error(), std::errc::permission_denied);
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);

    // A disk that fills up while the file is written, here a file size limit.
    std::vector<ChipRecord> rows;
    for (int i = 0; i < 5000; ++i)
        rows.push_back({"CHIP" + std::to_string(i * 7919), "ID_SPI1", i * 3.0, 256, 0, "M", "", 1});
    table.assign(rows);
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved;
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 1024;
    ChipListSaver full(file);
    ASSERT_TRUE(full.open());
    ::setrlimit(RLIMIT_FSIZE, &small);
    const int rc = full.write(date, 2, table);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(rc, kFileError);
    EXPECT_EQ(full.error(), std::errc::file_too_large);
    EXPECT_EQ(readFile(file), good);
    EXPECT_EQ(FilesInFolder(), 1u);
}

TEST(ChipListDate, CalendarConversion)
{
    using namespace std::chrono;
    EXPECT_EQ(chipListDateFromYmd(year{1899} / 12 / 30), 0.0);
    EXPECT_EQ(chipListDateFromYmd(year{2018} / 5 / 9), 43229.0);
    EXPECT_EQ(ymdFromChipListDate(43229.99), year{2018} / 5 / 9);
    EXPECT_EQ(ymdFromChipListDate(-1), year{1899} / 12 / 29);
    for (double bad : {std::nan(""), 1e300, -1e300}) EXPECT_FALSE(ymdFromChipListDate(bad)) << bad;
}
