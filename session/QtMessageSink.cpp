#include "session/QtMessageSink.h"

#include <QCoreApplication>

void QtMessageSink::post(const OpMessage& message)
{
    QCoreApplication::postEvent(receiver.data(), new OpEvent(message, nullptr));
}

void QtMessageSink::send(const OpMessage& message)
{
    std::binary_semaphore handled(0);
    QCoreApplication::postEvent(receiver.data(), new OpEvent(message, &handled));
    handled.acquire();
}
