#pragma once
// The two kinds of emulated chip as the emulated adapter's buses see them.

#include <cstdint>

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
    // Chip select rising: commands that change the chip take effect here.
    virtual void deselect() = 0;
};
