#pragma once
// The I2C side of an adapter, as the 24xx family uses it: a transaction is a list of bus
// conditions and bytes that the adapter runs in one exchange, reporting the acknowledgement of
// each byte written and the bytes read.

#include "adapter/UsbStatus.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace bus {

class I2cTransaction {
public:
    enum class Kind : uint8_t { Start, Stop, Write, WriteUnchecked, Read };
    struct Step {
        Kind kind;
        std::span<const uint8_t> out; // Write, WriteUnchecked
        std::span<uint8_t> in;        // Read
    };

    // START, or a repeated START inside a transaction.
    I2cTransaction& start() { return add({Kind::Start, {}, {}}); }
    I2cTransaction& stop() { return add({Kind::Stop, {}, {}}); }
    // Bytes whose acknowledgements are reported, one per byte, in the order written.
    I2cTransaction& write(std::span<const uint8_t> bytes) { return add({Kind::Write, bytes, {}}); }
    // Bytes sent without looking at their acknowledgements (faster on some adapters).
    I2cTransaction& writeUnchecked(std::span<const uint8_t> bytes) { return add({Kind::WriteUnchecked, bytes, {}}); }
    // Reads into `into`, acknowledging every byte but the last, which ends the read.
    I2cTransaction& read(std::span<uint8_t> into) { return add({Kind::Read, {}, into}); }

    const std::vector<Step>& steps() const { return steps_; }
    // Bytes of the checked writes: the number of acknowledgements a run reports.
    std::size_t checkedBytes() const;
    void clear() { steps_.clear(); }

private:
    I2cTransaction& add(Step step)
    {
        steps_.push_back(step);
        return *this;
    }
    std::vector<Step> steps_;
};

inline std::size_t I2cTransaction::checkedBytes() const
{
    std::size_t bytes = 0;
    for (const Step& step : steps_)
        if (step.kind == Kind::Write) bytes += step.out.size();
    return bytes;
}

class I2cMaster {
public:
    virtual ~I2cMaster() = default;

    // Runs the transaction. `acknowledged` gets one entry per checked byte written (true: the
    // chip acknowledged it) and must hold checkedBytes(); the read spans are filled. False when
    // the exchange itself failed (lastStatus says why): a refused byte is not a failure here.
    virtual bool run(const I2cTransaction& transaction, std::span<bool> acknowledged) = 0;

    // Bus speeds by index: 0 = 20 kHz, 1 = 100 kHz, 2 = 400 kHz, 3 = 750 kHz where the adapter has
    // them all; the one in use, and the choice of another.
    virtual std::vector<uint32_t> speeds() const = 0;
    virtual int speed() const = 0;
    virtual bool setSpeed(int index) = 0;

    // The adapter's time (the emulator's clock for the emulated one): a chip's write cycle is
    // bounded in it.
    virtual std::chrono::nanoseconds now() const = 0;

    // Why the last call failed; UsbStatus::Ok after a success.
    virtual UsbStatus lastStatus() const = 0;
};

} // namespace bus
