#pragma once
// The fast paths used while ACK checking is off: the whole chip in one library block read or
// write, addressed by the type code alone (device address 0xA0; neither SlaveAddress nor the
// PCA24S08 address reaches them). They run on the calling thread, report no progress and cannot
// be cancelled. The library's result is not examined: with ACK checking off nothing is detected.
//
// The caller logs FastReadingText / FastComparingText / FastWritingText and lets the window paint
// before the call, then, for a returned time, the matching *DoneText + seconds + SecondsSuffix.

#include "adapter/ch341a/Ch341Library.h"

#include <cstdint>
#include <optional>
#include <span>

// Reads `size` bytes from address 0 into `buffer` and returns the seconds the read took.
// Nullopt, with nothing read, for a type without a 24xx kind (13) or a size beyond the buffer.
std::optional<float> IICFastRead(Ch341Library& library, uint8_t eepromType, uint32_t size, std::span<uint8_t> buffer);

// Writes the first `size` bytes of `image` from address 0 and returns the seconds the write
// took. Nullopt, with nothing written, for type 13 or a size beyond the image.
std::optional<float> IICFastWrite(Ch341Library& library, uint8_t eepromType, uint32_t size,
                                  std::span<const uint8_t> image);
