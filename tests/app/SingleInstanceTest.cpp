#include "app/SingleInstance.h"
#include "tests/support/RunUntil.h"

#include <QLocalSocket>
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
