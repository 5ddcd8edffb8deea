#include "app/SingleInstance.h"
#include "session/AppPaths.h"
#include "tests/support/RunUntil.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QUuid>
#include <gtest/gtest.h>

TEST(SingleInstance, SecondStartForwardsItsFileToTheFirst)
{
    const QString name = "vespera-test-" + QUuid::createUuid().toString(QUuid::Id128);

    SingleInstance second(name);
    EXPECT_FALSE(second.forwardToRunningInstance("/nobody/listens.bin")); // nothing runs yet

    SingleInstance first(name);
    ASSERT_TRUE(first.listen());
    QStringList received;
    QObject::connect(&first, &SingleInstance::forwarded, [&](const QString& file) { received << file; });

    // The system queues the connection, so forwarding returns before the first instance's event
    // loop has seen it; the loop below lets the first instance take delivery.
    EXPECT_TRUE(second.forwardToRunningInstance(QString::fromUtf8("/dumps/чип 1.bin")));
    EXPECT_TRUE(second.forwardToRunningInstance(QString()));
    RunUntil([&] { return received.size() >= 2; }, 5000);
    EXPECT_EQ(received, QStringList({QString::fromUtf8("/dumps/чип 1.bin"), QString()}));
}

// The real program started a second time from a shell in another folder: the running instance,
// whose working folder is its own, gets the file the shell named relative to its folder.
TEST(SingleInstance, ASecondStartOfTheProgramHandsOverARelativePathMadeAbsolute)
{
    // A copy of the program in a folder of its own is a portable program with settings of its own,
    // so the copy finds this test's instance and no program that runs on this machine.
    QTemporaryDir program, shell;
    const QString copy = program.filePath("vespera");
    ASSERT_TRUE(QFile::copy(QStringLiteral(VESPERA_PROGRAM), copy));
    AppPaths::SetProgramFolder(program.path());
    SingleInstance first;
    ASSERT_TRUE(first.listen());
    QStringList received;
    QObject::connect(&first, &SingleInstance::forwarded, [&](const QString& file) { received << file; });
    QFile dump(QDir(shell.path()).filePath("small4k.bin"));
    ASSERT_TRUE(dump.open(QIODevice::WriteOnly));
    dump.write(QByteArray(4096, '\x5A'));
    dump.close();

    QProcess second;
    second.setWorkingDirectory(shell.path());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    second.setProcessEnvironment(environment);
    second.start(copy, {"small4k.bin"});
    ASSERT_TRUE(RunUntil([&] { return second.state() == QProcess::NotRunning && !received.isEmpty(); }, 30000))
        << second.readAllStandardError().toStdString();
    EXPECT_EQ(second.exitCode(), 0);
    ASSERT_EQ(received.size(), 1);
    EXPECT_TRUE(QFileInfo(received[0]).isAbsolute()) << received[0].toStdString();
    EXPECT_EQ(QFileInfo(received[0]).canonicalFilePath(), QFileInfo(dump).canonicalFilePath());
}

// Copies of the program with settings of their own are programs of their own.
TEST(SingleInstance, OneInstancePerSettingsFolder)
{
    QTemporaryDir a, b;
    AppPaths::SetProgramFolder(a.path());
    const QString nameA = SingleInstance::DefaultName();
    AppPaths::SetProgramFolder(b.path());
    EXPECT_NE(SingleInstance::DefaultName(), nameA);
    AppPaths::SetProgramFolder(a.path());
    EXPECT_EQ(SingleInstance::DefaultName(), nameA);
}

namespace {
// A running instance and raw peers that talk to it as they please.
class SingleInstancePeers : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.listen());
        QObject::connect(&server, &SingleInstance::forwarded, [this](const QString& file) { received << file; });
    }
    std::unique_ptr<QLocalSocket> connectPeer()
    {
        auto peer = std::make_unique<QLocalSocket>();
        peer->connectToServer(name);
        EXPECT_TRUE(peer->waitForConnected(1000));
        return peer;
    }
    static bool dropped(const std::unique_ptr<QLocalSocket>& peer)
    {
        return peer->state() == QLocalSocket::UnconnectedState;
    }

    const QString name = "vespera-test-" + QUuid::createUuid().toString(QUuid::Id128);
    SingleInstance server{name};
    QStringList received;
};
} // namespace

TEST_F(SingleInstancePeers, APeerThatSaysNothingIsDropped)
{
    server.setMessageTimeout(100);
    auto silent = connectPeer();
    EXPECT_TRUE(RunUntil([&] { return dropped(silent); }));
    EXPECT_TRUE(received.isEmpty());
}

TEST_F(SingleInstancePeers, MessagesAreOneLineOfAtMost4KiB)
{
    const struct {
        QByteArray bytes;
        bool heard;
    } cases[] = {
        {QByteArray(4096, 'a') + '\n', true},
        {QByteArray(4097, 'b') + '\n', false},
        {QByteArray(100000, 'c'), false},
        {QByteArray("/x\0y.bin\n", 9), false},
    };
    for (const auto& c : cases) {
        received.clear();
        auto peer = connectPeer();
        peer->write(c.bytes);
        peer->flush();
        EXPECT_TRUE(RunUntil([&] { return dropped(peer); })) << c.bytes.size();
        EXPECT_EQ(received.size(), c.heard ? 1 : 0) << c.bytes.size();
        if (c.heard) {
            EXPECT_EQ(received.value(0).toUtf8(), c.bytes.chopped(1));
        }
    }
}

TEST_F(SingleInstancePeers, PeersBeyondTheCapAreTurnedAway)
{
    std::vector<std::unique_ptr<QLocalSocket>> holders;
    for (int i = 0; i < SingleInstance::MaxConnections; ++i) holders.push_back(connectPeer());
    auto extra = connectPeer(); // taken in turn after the others
    EXPECT_TRUE(RunUntil([&] { return dropped(extra); }));
    for (const auto& holder : holders) EXPECT_FALSE(dropped(holder));

    EXPECT_EQ(server.peers(), SingleInstance::MaxConnections);
    holders.pop_back(); // one leaves: a newcomer is heard again
    EXPECT_TRUE(RunUntil([&] { return server.peers() < SingleInstance::MaxConnections; }));
    auto next = connectPeer();
    next->write("/dumps/a.bin\n");
    EXPECT_TRUE(RunUntil([&] { return !received.isEmpty(); }));
    EXPECT_EQ(received, QStringList{"/dumps/a.bin"});
}
