#pragma once
// The kinds of emulated chip as the emulated adapter's buses and pins see them.

#include <array>
#include <cstdint>
#include <optional>
#include <span>

class I2cSlave {
public:
    virtual ~I2cSlave() = default;
    virtual void start() = 0;
    virtual void stop() = 0;
    // Returns the slave's acknowledgement.
    virtual bool write(uint8_t byte) = 0;
    virtual uint8_t read(bool masterAck) = 0;
};

class SpiSlave {
public:
    virtual ~SpiSlave() = default;
    virtual void select() = 0;
    // One byte in on MOSI, the byte shifted out on MISO at the same time.
    virtual uint8_t transfer(uint8_t mosi) = 0;
    // Several bytes at once, each replaced by the byte shifted out for it (a model may take a
    // faster path, such as the data phase of a read).
    virtual void transferBlock(std::span<uint8_t> bytes)
    {
        for (uint8_t& byte : bytes) byte = transfer(byte);
    }
    // Chip select rising: commands that change the chip take effect here.
    virtual void deselect() = 0;
    // The status bits the chip keeps without power, for the state file; nullopt for none.
    virtual std::optional<std::array<uint8_t, 3>> keptStatus() const { return std::nullopt; }
};

// A chip clocked pin by pin (93Cxx Microwire): it sees the levels of its input lines after every
// pin change and drives its data output.
class MicrowireSlave {
public:
    virtual ~MicrowireSlave() = default;
    virtual void lines(bool chipSelect, bool clock, bool dataIn) = 0;
    // The level on DO; high when the chip does not drive it (the adapter's input floats high).
    virtual bool dataOut() const = 0;
};
