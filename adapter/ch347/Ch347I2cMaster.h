#pragma once
// The CH347's I2C stream as a bus::I2cMaster: a transaction becomes AA frames of the CH341A's
// stream sub-commands (runs of at most 63 bytes), run in one exchange. Every byte written answers
// its acknowledgement, so checked and unchecked writes travel alike; the unchecked ones' answers
// are not looked at.

#include "adapter/UsbTransport.h"
#include "adapter/bus/I2cMaster.h"

#include <vector>

class Ch347I2cMaster final : public bus::I2cMaster {
public:
    explicit Ch347I2cMaster(UsbTransport& transport) : transport_(transport) {}

    bool run(const bus::I2cTransaction& transaction, std::span<bool> acknowledged) override;

    std::vector<uint32_t> speeds() const override { return {20'000, 100'000, 400'000, 750'000}; }
    int speed() const override { return speed_; }
    bool setSpeed(int index) override;
    std::chrono::nanoseconds now() const override { return transport_.now(); }
    UsbStatus lastStatus() const override { return status_; }

private:
    void layOut(const bus::I2cTransaction& transaction);
    // Checks the reply frames; their bytes, acknowledgements and data, one after another, are
    // left in `in_` from its start.
    bool unpack(std::size_t received);
    bool fail(UsbStatus status);

    UsbTransport& transport_;
    int speed_ = 1;
    std::vector<uint8_t> out_;
    std::vector<std::size_t> ends_;
    std::vector<std::span<const uint8_t>> transfers_;
    std::vector<uint16_t> inSizes_;
    std::vector<uint8_t> in_;
    UsbStatus status_ = UsbStatus::Ok;
};
