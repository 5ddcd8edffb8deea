#pragma once
// A worker's own message queue. The main window posts cancel requests into it from its thread; the
// worker looks for one, removing it, before each step.
#include "worker/WorkerMessages.h"

#include <atomic>

class WorkerQueue {
public:
    void post(uint32_t message)
    {
        if (message == WM_OP_CANCEL) cancels.fetch_add(1, std::memory_order_release);
    }

    // True when a cancel request was waiting; it is removed.
    bool takeCancel()
    {
        int pending = cancels.load(std::memory_order_acquire);
        while (pending > 0)
            if (cancels.compare_exchange_weak(pending, pending - 1, std::memory_order_acq_rel)) return true;
        return false;
    }

private:
    std::atomic<int> cancels{0};
};
