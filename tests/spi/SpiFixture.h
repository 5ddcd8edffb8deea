#pragma once
// An opened emulated adapter with one SPI chip, its frames, and a worker run on the test's own
// thread with every message collected.

#include "adapter/Ch341Device.h"
#include "adapter/emulator/EmulatedCh341.h"
#include "worker/StartWorker.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

inline EmulatedChipConfig SpiChip(const char* kind, uint32_t size, uint32_t page = 256, const char* signature = "EF4014")
{
    EmulatedChipConfig config = *MakeEmulatedChipConfig("", kind, size, page, signature, 1);
    config.initialStatus = {0, 0, 0};
    return config;
}

struct EmulatedSpi {
    explicit EmulatedSpi(EmulatedChipConfig config, double timeScale = 1000.0)
        : emulator(std::make_shared<EmulatedCh341>(std::move(config), timeScale)), device(emulator)
    {
        device.CH341OpenDevice(AdapterIndex);
        emulator->setLogging(true);
    }

    // MOSI bytes of each frame since the last call ("06", "02 00 01 00 AA" ...).
    std::vector<std::string> frames()
    {
        std::vector<std::string> out;
        for (const SpiFrame& frame : emulator->takeLog().spi) out.push_back(BusLog::hex(frame.mosi));
        return out;
    }
    // The same without the status polls ("05 00").
    std::vector<std::string> framesWithoutPolls()
    {
        auto out = frames();
        std::erase(out, std::string("05 00"));
        return out;
    }

    std::shared_ptr<EmulatedCh341> emulator;
    Ch341Device device;
};

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
