#pragma once
// The five I2C stream primitives. Each is exactly one exchange with the adapter; nothing is
// batched, queued or retried, and none of them logs.

#include "adapter/ch341a/Ch341Library.h"

#include <cstdint>
#include <span>

// AA 74 00: start (or repeated start) condition.
bool IICStart(Ch341Library& library, uint32_t index);
// AA 75 00: stop condition.
bool IICStop(Ch341Library& library, uint32_t index);
// AA 80 b 00: true when the exchange succeeded and the last reply byte has bit 7 clear (ACK).
bool IICWriteByte(Ch341Library& library, uint32_t index, uint8_t byte);
// AA (C0 + n) 00 for n = 1..32: true when exactly n bytes came back; they are then copied to
// `destination` (at least n bytes), which is left untouched otherwise. n = 0 or above 32 (or a
// destination too small): false, nothing sent.
bool IICReadBytes(Ch341Library& library, uint32_t index, uint32_t n, std::span<uint8_t> destination);
// AA C0 00: one byte, answered with NACK; `destination` receives the last reply byte.
bool IICReadLastByte(Ch341Library& library, uint32_t index, uint8_t& destination);
