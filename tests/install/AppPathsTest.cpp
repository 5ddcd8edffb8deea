// Where the program reads and writes its files, portable and installed: the program folder and
// the XDG folders point into a temporary tree.
#include "session/AppPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {
class Paths : public ::testing::Test {
protected:
    QTemporaryDir root;
    QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
    QByteArray savedData = qgetenv("XDG_DATA_HOME");

    void SetUp() override
    {
        qputenv("XDG_CONFIG_HOME", path("home/config").toUtf8());
        qputenv("XDG_DATA_HOME", path("home/data").toUtf8());
    }
    void TearDown() override
    {
        Restore("XDG_CONFIG_HOME", savedConfig);
        Restore("XDG_DATA_HOME", savedData);
        QFile::setPermissions(path("portable"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    static void Restore(const char* name, const QByteArray& value)
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }

    QString path(const QString& relative) const { return root.filePath(relative); }
    void touch(const QString& relative) const
    {
        QDir().mkpath(QFileInfo(path(relative)).path());
        QFile file(path(relative));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    struct Expected {
        bool installed;
        QString settings, chipListRead, chipListWrite, dumps, data;
    };
    void expect(const Expected& e) const
    {
        EXPECT_EQ(AppPaths::IsInstalled(), e.installed);
        EXPECT_EQ(SettingsPath(), path(e.settings));
        EXPECT_EQ(ChipListPath(), path(e.chipListRead));
        EXPECT_EQ(ChipListWritePath(), path(e.chipListWrite));
        EXPECT_EQ(DefaultDumpDir(), path(e.dumps));
        EXPECT_EQ(AppPaths::DataFolder(), path(e.data));
    }
};
} // namespace

TEST_F(Paths, PortableFolderKeepsEverythingBesideTheProgram)
{
    touch("portable/ChipList.dat");
    AppPaths::SetProgramFolder(path("portable/"));
    EXPECT_EQ(AppPaths::ProgramFolder(), path("portable"));
    expect({false, "portable/Vespera.ini", "portable/ChipList.dat", "portable/ChipList.dat", "portable/DumpsBackup",
            "portable"});
    EXPECT_FALSE(QFileInfo::exists(path("home"))) << "a portable program leaves the home folder alone";
}

// The layout decides even for root, who can write into /usr/bin.
TEST_F(Paths, InstalledTreeReadsTheShippedListAndKeepsTheUsersFilesInXdgFolders)
{
    touch("usr/bin/vespera");
    touch("usr/share/vespera/ChipList.dat");
    AppPaths::SetProgramFolder(path("usr/bin"));
    expect({true, "home/config/vespera/Vespera.ini", "usr/share/vespera/ChipList.dat", "home/data/vespera/ChipList.dat",
            "home/data/vespera/DumpsBackup", "home/data/vespera"});
    // Saving the settings or the chip list needs no folder to be made first.
    EXPECT_TRUE(QFileInfo(path("home/config/vespera")).isDir());
    EXPECT_TRUE(QFileInfo(path("home/data/vespera")).isDir());

    // Once the user has saved an edited list, that one is read.
    touch("home/data/vespera/ChipList.dat");
    EXPECT_EQ(ChipListPath(), path("home/data/vespera/ChipList.dat"));
}

TEST_F(Paths, ReadOnlyPortableFolderReadsItsListAndWritesToXdgFolders)
{
    if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    touch("portable/ChipList.dat");
    ASSERT_TRUE(QFile::setPermissions(path("portable"), QFile::ReadOwner | QFile::ExeOwner));
    AppPaths::SetProgramFolder(path("portable"));
    expect({true, "home/config/vespera/Vespera.ini", "portable/ChipList.dat", "home/data/vespera/ChipList.dat",
            "home/data/vespera/DumpsBackup", "home/data/vespera"});
}
