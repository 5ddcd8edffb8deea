#include "app/SingleInstance.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
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
    QObject::connect(&first, &SingleInstance::forwarded, [&](const QString &file) { received << file; });

    // The system queues the connection, so forwarding returns before the first instance's event
    // loop has seen it; the loop below lets the first instance take delivery.
    EXPECT_TRUE(second.forwardToRunningInstance(QString::fromUtf8("/dumps/чип 1.bin")));
    EXPECT_TRUE(second.forwardToRunningInstance(QString()));
    const QDeadlineTimer deadline(5000);
    while (received.size() < 2 && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(received, QStringList({QString::fromUtf8("/dumps/чип 1.bin"), QString()}));
}
