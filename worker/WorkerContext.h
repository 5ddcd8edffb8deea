#pragma once
// What a running worker holds besides its parameters: where its messages go, its own queue and
// the clock of its run.
#include "worker/MessageSink.h"
#include "worker/WorkerQueue.h"

#include <bit>
#include <chrono>

class WorkerContext {
public:
    WorkerContext(MessageSink& messages, WorkerQueue& ownQueue) : sink(messages), queue(ownQueue) {}

    bool cancelRequested() { return queue.takeCancel(); }
    void step() { sink.post({WM_OP_PROGRESS, 0, ProgressStep}); }
    void eraseTick() { sink.send({WM_OP_PROGRESS, 0, ProgressEraseTick}); }
    void finish(ProgressCode code) { sink.post({WM_OP_PROGRESS, 0, code}); }
    void fault(int32_t address) { sink.post({WM_OP_FAULT, 0, address}); }

    // The elapsed time runs from the first step; completion carries it as the bits of a float.
    void startClock() { started = std::chrono::steady_clock::now(); }
    void finishTimed(ProgressCode code)
    {
        const std::chrono::duration<float> elapsed = std::chrono::steady_clock::now() - started;
        sink.post({WM_OP_PROGRESS, std::bit_cast<uint32_t>(elapsed.count()), code});
    }

private:
    MessageSink& sink;
    WorkerQueue& queue;
    std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
};
