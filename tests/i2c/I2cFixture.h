#pragma once
// An emulated adapter with a 24xx chip whose cells hold a known pattern, and a message sink that
// collects what a worker posts and can act on a given step (a cancel, a changed address).

#include "i2c/SlaveAddress.h"
#include "tests/support/EmulatedAdapter.h"
#include "worker/MessageSink.h"
#include "worker/WorkerContext.h"
#include "worker/WorkerParams.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// Distinct in its high address bits too, so a wrong device byte reads visibly wrong data.
inline uint8_t Pattern(uint32_t i)
{
    return static_cast<uint8_t>(i ^ (i >> 8) * 7 ^ (i >> 16) * 13);
}

// The adapter with the chip's cells set to Pattern.
struct EmulatedI2c : EmulatedAdapter {
    explicit EmulatedI2c(EmulatedChipConfig config, double timeScale = 1000.0)
        : EmulatedAdapter(std::move(config), timeScale)
    {
        emulator->setLogging(false);
        auto cells = chip();
        for (uint32_t i = 0; i < cells.size(); ++i) cells[i] = Pattern(i);
    }
};

class CollectingSink final : public MessageSink {
public:
    void post(const OpMessage& message) override
    {
        messages.push_back(message);
        if (message.message != WM_OP_PROGRESS || message.lParam != ProgressStep) return;
        ++steps;
        if (onStep) onStep(steps);
    }
    void send(const OpMessage& message) override { post(message); }

    const OpMessage& last() const { return messages.back(); }

    std::vector<OpMessage> messages;
    int steps = 0;
    std::function<void(int step)> onStep; // called with 1 for the first step
};

inline WorkerParams Params(uint32_t size, uint8_t type, uint8_t* buffer, uint16_t pageSize = 0)
{
    WorkerParams params;
    params.size = size;
    params.type = type;
    params.buffer = buffer;
    params.pageSize = pageSize;
    return params;
}

// Runs a worker body on the test's thread, as its own thread would.
struct WorkerRun {
    CollectingSink sink;
    WorkerQueue queue;
    WorkerContext context{sink, queue};
};

// Every test starts and ends with the menu's default address.
class I2cTest : public ::testing::Test {
protected:
    void SetUp() override { SlaveAddress = DefaultSlaveAddress; }
    void TearDown() override { SlaveAddress = DefaultSlaveAddress; }
};
