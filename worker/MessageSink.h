#pragma once
// Where a worker's messages go. Posting keeps order and never blocks; sending returns only once
// the main window has handled the message.
#include "worker/WorkerMessages.h"

class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void post(const OpMessage& message) = 0;
    virtual void send(const OpMessage& message) = 0;
};
