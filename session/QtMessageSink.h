#pragma once
// Carries a worker's messages to the main window's thread as posted events of the message's own
// number (1025, 1026), in the order they were posted.
#include "worker/MessageSink.h"

#include <QEvent>
#include <QPointer>
#include <semaphore>

class OpEvent : public QEvent {
public:
    OpEvent(const OpMessage& posted, std::binary_semaphore* done)
        : QEvent(QEvent::Type(posted.message)), message(posted), handled(done)
    {
    }
    ~OpEvent() override
    {
        if (handled) // a sent message is answered once it has been handled (or dropped)
            handled->release();
    }
    const OpMessage message;

private:
    std::binary_semaphore* handled;
};

class QtMessageSink : public MessageSink {
public:
    explicit QtMessageSink(QObject* target) : receiver(target) {}
    void post(const OpMessage& message) override;
    void send(const OpMessage& message) override;

private:
    QPointer<QObject> receiver;
};
