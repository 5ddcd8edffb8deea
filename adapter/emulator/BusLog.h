#pragma once
// What the emulated adapter put on its buses, for tests: I2C conditions and bytes, and every
// SPI frame between chip-select edges (bytes as the chip sees them, most significant bit first).

#include <cstdint>
#include <span>
#include <string>
#include <vector>

struct I2cEvent {
    enum class Kind : uint8_t { Start, Stop, Write, Read };
    Kind kind;
    uint8_t byte = 0;
    bool ack = false; // Write: the slave acknowledged; Read: the master acknowledged
};

struct SpiFrame {
    std::vector<uint8_t> mosi;
    std::vector<uint8_t> miso;
};

struct BusLog {
    std::vector<I2cEvent> i2c;
    std::vector<SpiFrame> spi;
    // What went wrong on the USB side ("timeout: ..."), in order.
    std::vector<std::string> usb;

    // "S A0+ 40+ S A1+ r12+ r34- P": S start, P stop, written bytes with the slave's +ACK/-NACK,
    // read bytes prefixed r with the master's +ACK/-NACK.
    std::string i2cText() const;
    // The MOSI bytes of one frame: "9F 00 00 00".
    static std::string hex(std::span<const uint8_t> bytes);
};
