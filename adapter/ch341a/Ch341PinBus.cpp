#include "adapter/ch341a/Ch341PinBus.h"

#include "adapter/ch341a/Ch341Device.h"
#include "adapter/ch341a/Ch341Protocol.h"

using namespace ch341;

namespace {
// The input read sub-command: one reply byte with D7..D0.
constexpr uint8_t UioSample = 0x00;
} // namespace

bool Ch341PinBus::run(const bus::PinBatch& batch, std::vector<uint8_t>& samples)
{
    samples.resize(batch.samples());
    if (batch.steps().empty()) return true;
    out_.clear();
    inSizes_.clear();
    std::size_t commands = 0;
    uint8_t segmentSamples = 0;
    auto endSegment = [&] {
        out_.push_back(UioEnd);
        if (segmentSamples > 0) inSizes_.push_back(segmentSamples);
        commands = 0;
        segmentSamples = 0;
    };
    auto put = [&](uint8_t command) {
        if (commands == CommandsPerSegment) endSegment();
        if (commands == 0) out_.push_back(CmdUioStream);
        out_.push_back(command);
        ++commands;
    };
    // The SPI engine or a reset may have left the pins as inputs: every batch states the
    // directions first.
    put(uint8_t(UioDir | OutputMask));
    for (const bus::PinBatch::Step& step : batch.steps()) {
        switch (step.kind) {
        case bus::PinBatch::Kind::Drive: put(uint8_t(UioOut | (step.levels & OutputMask))); break;
        case bus::PinBatch::Kind::Sample:
            put(UioSample);
            ++segmentSamples;
            break;
        case bus::PinBatch::Kind::Hold: {
            // Setting the directions again changes nothing and takes one command's time, whatever
            // the levels are.
            const auto repeats =
                (std::chrono::nanoseconds(step.nanoseconds) + PinCommandTime - std::chrono::nanoseconds(1)) /
                PinCommandTime;
            for (int64_t i = 0; i < repeats; ++i) put(uint8_t(UioDir | OutputMask));
            break;
        }
        }
    }
    endSegment();
    return device_.exchange(out_, inSizes_, samples, samples.size());
}

bool Ch341PinBus::release()
{
    out_.assign({CmdUioStream, uint8_t(UioOut | PinsIdle), uint8_t(UioDir | PinsAllOut), UioEnd});
    return device_.exchange(out_, {}, {}, 0);
}

void Ch341PinBus::pause(std::chrono::microseconds duration)
{
    device_.transport().pause(duration);
}

std::chrono::nanoseconds Ch341PinBus::now() const
{
    return device_.transport().now();
}

UsbStatus Ch341PinBus::lastStatus() const
{
    return device_.lastStatus();
}
