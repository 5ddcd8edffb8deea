#pragma once
// The CH341A's I2C stream (0xAA) as a bus::I2cMaster: a transaction becomes a chain of 32-byte
// segments run in one exchange; each checked byte answers with its status byte.

#include "adapter/bus/I2cMaster.h"

#include <vector>

class Ch341Device;

class Ch341I2cMaster final : public bus::I2cMaster {
public:
    explicit Ch341I2cMaster(Ch341Device& device) : device_(device) {}

    bool run(const bus::I2cTransaction& transaction, std::span<bool> acknowledged) override;

    std::vector<uint32_t> speeds() const override { return {20'000, 100'000, 400'000, 750'000}; }
    int speed() const override { return speed_; }
    bool setSpeed(int index) override;
    std::chrono::nanoseconds now() const override;
    UsbStatus lastStatus() const override;

private:
    Ch341Device& device_;
    int speed_ = 1;
    std::vector<uint8_t> out_, inSizes_, in_;
    UsbStatus argumentStatus_ = UsbStatus::Ok;
};
