#pragma once
// An opened emulated adapter with one SPI chip, its frames, and a worker run on the test's own
// thread with every message collected.

#include "tests/support/EmulatedAdapter.h"
#include "worker/StartWorker.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

using EmulatedSpi = EmulatedAdapter;

// Collects messages; `onMessage` may act on each as it arrives (post a cancel, pull the plug).
class CollectingSink : public MessageSink {
public:
    void post(const OpMessage& m) override { add(m); }
    void send(const OpMessage& m) override { add(m); }

    std::vector<OpMessage> messages;
    std::function<void(const OpMessage&)> onMessage;

    int count(int32_t lParam) const
    {
        int n = 0;
        for (const OpMessage& m : messages) n += m.lParam == lParam;
        return n;
    }

private:
    void add(const OpMessage& m)
    {
        messages.push_back(m);
        if (onMessage) onMessage(m);
    }
};

// Runs a worker body to its end on this thread.
struct WorkerRun {
    CollectingSink sink;
    WorkerQueue queue;

    void run(const WorkerBody& body, const WorkerParams& params)
    {
        WorkerContext context(sink, queue);
        body(params, context);
    }
    // Posts a cancel when the n-th message with this code arrives.
    void cancelAt(int32_t lParam, int n)
    {
        sink.onMessage = [this, lParam, n, seen = 0](const OpMessage& m) mutable {
            if (m.lParam == lParam && ++seen == n) queue.post(WM_OP_CANCEL);
        };
    }
    const OpMessage& last() const { return sink.messages.back(); }
};
