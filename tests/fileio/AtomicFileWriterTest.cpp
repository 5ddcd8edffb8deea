#include <csignal>
#include <string>

#include <sys/resource.h>
#include <sys/stat.h>

#include "fileio/AtomicFileWriter.h"
#include "fileio/FileError.h"
#include "tests/support/TempFolder.h"

namespace {

using fileio::AtomicFileWriter;
using AtomicFileWriterTest = TempFolder;

std::error_code Save(const std::filesystem::path& path, std::string_view text)
{
    AtomicFileWriter writer(path);
    writer.Write(text);
    return writer.Commit();
}

TEST_F(AtomicFileWriterTest, ReplacesTheTargetWholeAndKeepsItsPermissions)
{
    const auto path = Write("a.txt", std::string(5000, 'x'));
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                                           std::filesystem::perms::others_read);
    ASSERT_FALSE(Save(path, "new"));
    EXPECT_EQ(ReadText(path), "new");
    EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                  std::filesystem::perms::others_read);
    EXPECT_EQ(FilesInFolder(), 1u);

    AtomicFileWriter abandoned(folder / "b.txt"); // never committed: nothing appears
    abandoned.Write("half");
}

// What a saver must not replace is refused before anything is written, with the cause.
TEST_F(AtomicFileWriterTest, RefusesReadOnlyFilesFoldersAndPipes)
{
    const auto readOnly = Write("read-only.txt", "old");
    std::filesystem::permissions(readOnly, std::filesystem::perms::owner_read);
    const auto fifo = folder / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_directory(folder / "sub");
    const struct {
        std::filesystem::path path;
        std::error_code error;
    } cases[] = {
        {readOnly, std::make_error_code(std::errc::permission_denied)},
        {folder / "sub", fileio::FileError::NotRegularFile},
        {fifo, fileio::FileError::NotRegularFile},
        {folder / "missing" / "a.txt", std::make_error_code(std::errc::no_such_file_or_directory)},
    };
    for (const auto& c : cases) EXPECT_EQ(Save(c.path, "new"), c.error) << c.path;
    EXPECT_EQ(ReadText(readOnly), "old");
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
    EXPECT_EQ(FilesInFolder(), 3u); // no temporaries left
}

TEST_F(AtomicFileWriterTest, ReplacesTheFileALinkNamesAndKeepsTheLink)
{
    const auto real = Write("real.txt", "old");
    std::filesystem::create_symlink("real.txt", folder / "link.txt");
    ASSERT_FALSE(Save(folder / "link.txt", "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "link.txt"));
    EXPECT_EQ(ReadText(real), "new");
}

// A disk that fills up, here a file size limit: the cause comes from the system, the old file stays.
TEST_F(AtomicFileWriterTest, AFailedWriteNamesItsCauseAndKeepsTheOldFile)
{
    const auto path = Write("a.txt", "old");
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved;
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ::setrlimit(RLIMIT_FSIZE, &small);
    const std::error_code error = Save(path, std::string(10000, 'y'));
    ::setrlimit(RLIMIT_FSIZE, &saved);

    EXPECT_EQ(error, std::errc::file_too_large);
    EXPECT_EQ(error.message(), "File too large");
    EXPECT_EQ(ReadText(path), "old");
    EXPECT_EQ(FilesInFolder(), 1u);
}

} // namespace
