#pragma once
// An emulated adapter with one SPI chip, in stream mode, sending raw frames: for the chip model
// tests.

#include "tests/support/EmulatedAdapter.h"

#include "adapter/Uch_spi.h"

#include <gtest/gtest.h>

#include <vector>

using Bytes = std::vector<uint8_t>;

struct SpiBench : EmulatedAdapter {
    explicit SpiBench(EmulatedChipConfig config, double scale = 1000.0) : EmulatedAdapter(std::move(config), scale)
    {
        device.CH341SetStream(AdapterIndex, SpiStreamTransfer);
    }
    Bytes tx(Bytes frame)
    {
        EXPECT_TRUE(device.CH341StreamSPI4(AdapterIndex, SpiChipSelect0, frame));
        return frame;
    }
    uint8_t status() { return tx({0x05, 0x00})[1]; }
    void waitReady() { ASSERT_TRUE(SPIWaitReady(device)); }
    std::span<uint8_t> memory() { return emulator->memory(); }
};
