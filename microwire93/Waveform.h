#pragma once
// The pin steps of 93Cxx instructions on the socket's lines, and the chip's bits read back out of
// the samples. Each step is one pin command on the adapter (about 0.75 us on the CH341A), longer
// than any setup, hold or output delay the datasheets ask for, so no step needs a pause of its
// own. The chip takes DI on the clock's rising edge and moves DO on it too.

#include "adapter/bus/PinBus.h"
#include "microwire93/Instruction.h"

#include <cstdint>
#include <span>

namespace microwire93 {

class Waveform {
public:
    // Steps are appended to `batch`; `outputs` are the pins the adapter drives (the ones that
    // are not the socket's lines are kept high, as the SPI engine leaves them).
    Waveform(bus::PinBatch& batch, bus::SocketPins pins, uint8_t outputs);

    // Chip select low for two steps, then high with the clock low: whatever went before ends
    // (a programming instruction starts its cycle on the falling edge) and the chip waits for a
    // start bit. Right after a programming instruction, DO then shows busy (low) or ready.
    Waveform& select();
    // Chip select low: the end of an instruction.
    Waveform& deselect();
    // Each bit: DI set with the clock low, then the rising edge.
    Waveform& send(Bits bits);
    // After an instruction the clock is high: brings it low and samples DO, which after READ's
    // address holds the dummy 0.
    Waveform& lowerClockAndSample();
    // Each bit: the rising edge (DO moves to the next bit), the falling edge, then a sample.
    Waveform& receive(uint32_t bits);
    // One more step at the same levels.
    Waveform& hold();
    Waveform& sample();

private:
    void drive();

    bus::PinBatch& batch_;
    bus::SocketPins pins_;
    uint8_t others_;
    bool select_ = false, clock_ = false, data_ = false;
};

// The level of DO in a sample.
inline bool DataOut(uint8_t sample, const bus::SocketPins& pins)
{
    return (sample & pins.fromChip) != 0;
}

// Packs the DO levels of `samples`, eight to a byte, most significant bit first; bytes that
// `samples` cannot fill are left alone.
void PackBits(std::span<const uint8_t> samples, const bus::SocketPins& pins, std::span<uint8_t> bytes);

} // namespace microwire93
