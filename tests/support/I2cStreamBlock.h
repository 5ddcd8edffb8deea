#pragma once
// One 32-byte read of a two-address-byte 24xx part (device 0xA0) by the I2C primitives, one
// exchange each: start, device, two address bytes, repeated start, device, 31 bytes, the last
// byte, stop. The yardstick the block read is measured against in tests and benchmarks.

#include "adapter/ch341a/Ch341Library.h"
#include "adapter/Uch_i2c.h"

#include <cstdint>

inline void ReadStreamBlock(Ch341Library& library, uint32_t address, uint8_t (&block)[32])
{
    IICStart(library, AdapterIndex);
    IICWriteByte(library, AdapterIndex, 0xA0);
    IICWriteByte(library, AdapterIndex, uint8_t(address >> 8));
    IICWriteByte(library, AdapterIndex, uint8_t(address));
    IICStart(library, AdapterIndex);
    IICWriteByte(library, AdapterIndex, 0xA1);
    IICReadBytes(library, AdapterIndex, 31, block);
    IICReadLastByte(library, AdapterIndex, block[31]);
    IICStop(library, AdapterIndex);
}
