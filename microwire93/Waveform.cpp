#include "microwire93/Waveform.h"

#include <algorithm>

namespace microwire93 {

Waveform::Waveform(bus::PinBatch& batch, bus::SocketPins pins, uint8_t outputs)
    : batch_(batch), pins_(pins), others_(static_cast<uint8_t>(outputs & ~(pins.chipSelect | pins.clock | pins.toChip)))
{
}

void Waveform::drive()
{
    batch_.drive(static_cast<uint8_t>(others_ | (select_ ? pins_.chipSelect : 0) | (clock_ ? pins_.clock : 0) |
                                      (data_ ? pins_.toChip : 0)));
}

Waveform& Waveform::select()
{
    select_ = clock_ = data_ = false;
    drive();
    drive();
    select_ = true;
    drive();
    return *this;
}

Waveform& Waveform::deselect()
{
    select_ = clock_ = data_ = false;
    drive();
    return *this;
}

Waveform& Waveform::send(Bits bits)
{
    for (int bit = bits.count - 1; bit >= 0; --bit) {
        clock_ = false;
        data_ = (bits.value >> bit) & 1;
        drive();
        clock_ = true;
        drive();
    }
    return *this;
}

Waveform& Waveform::lowerClockAndSample()
{
    clock_ = data_ = false;
    drive();
    batch_.sample();
    return *this;
}

Waveform& Waveform::receive(uint32_t bits)
{
    data_ = false;
    for (uint32_t i = 0; i < bits; ++i) {
        clock_ = true;
        drive();
        clock_ = false;
        drive();
        batch_.sample();
    }
    return *this;
}

Waveform& Waveform::hold()
{
    drive();
    return *this;
}

Waveform& Waveform::sample()
{
    batch_.sample();
    return *this;
}

void PackBits(std::span<const uint8_t> samples, const bus::SocketPins& pins, std::span<uint8_t> bytes)
{
    const std::size_t whole = std::min(bytes.size(), samples.size() / 8);
    for (std::size_t i = 0; i < whole; ++i) {
        uint8_t byte = 0;
        for (std::size_t bit = 0; bit < 8; ++bit)
            byte = static_cast<uint8_t>(byte << 1 | (DataOut(samples[i * 8 + bit], pins) ? 1 : 0));
        bytes[i] = byte;
    }
}

} // namespace microwire93
