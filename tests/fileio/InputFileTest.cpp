#include <array>

#include <sys/stat.h>

#include "fileio/FileError.h"
#include "fileio/InputFile.h"
#include "tests/support/TempFolder.h"

namespace {

using fileio::InputFile;
using InputFileTest = TempFolder;

TEST_F(InputFileTest, ReadsARegularFileAndSeeks)
{
    const auto path = Write("a.bin", "0123456789");
    InputFile file(path);
    ASSERT_TRUE(file.isOpen());
    EXPECT_EQ(file.Size(), 10u);
    std::array<std::uint8_t, 4> bytes;
    EXPECT_EQ(file.Read(bytes), 4u);
    EXPECT_TRUE(file.Seek(8));
    EXPECT_EQ(file.Read(bytes), 2u); // the end of the file
    EXPECT_EQ(bytes[1], '9');
    EXPECT_FALSE(file.error());
}

// Nothing but a regular file opens; a FIFO must not even be opened, or the open would wait for a
// writer that never comes.
TEST_F(InputFileTest, RefusesEverythingElseWithItsCause)
{
    const auto fifo = folder / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const struct {
        std::filesystem::path path;
        std::error_code error;
    } cases[] = {
        {fifo, fileio::FileError::NotRegularFile},
        {folder, fileio::FileError::NotRegularFile},
        {"/dev/null", fileio::FileError::NotRegularFile},
        {folder / "missing", std::make_error_code(std::errc::no_such_file_or_directory)},
    };
    for (const auto& c : cases) {
        InputFile file(c.path);
        EXPECT_FALSE(file.isOpen()) << c.path;
        EXPECT_EQ(file.error(), c.error) << c.path;
    }
    EXPECT_EQ(make_error_code(fileio::FileError::NotRegularFile).message(), "not a regular file");
}

TEST(InputFile, ReportsAReadThatFails)
{
    InputFile file("/proc/self/mem"); // a regular file whose first page is unmapped: EIO
    ASSERT_TRUE(file.isOpen());
    std::array<std::uint8_t, 16> bytes;
    EXPECT_EQ(file.Read(bytes), 0u);
    EXPECT_EQ(file.error(), std::errc::io_error);
}

} // namespace
