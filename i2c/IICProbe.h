#pragma once
// Tells, by reads only, whether the 24xx chip in the socket can be the selected type. Two looks:
//   - A one-address-byte type selected: the same random read of address 0 is made twice. A part
//     with two address bytes takes the single address byte as half an address and ignores it,
//     so each read goes on from its own address counter and the two answers differ.
//   - A two-address-byte type selected: random reads of 0x0000 and 0x0100. A part with one
//     address byte takes the first address byte as its address (the second is a data byte that
//     the repeated start drops, nothing is written), so the second answer is the first one moved
//     on by one byte.
// Contents whose bytes are all alike cannot tell either case: the answer is then Unsure.
// A chip that does not answer is left to the operation, whose first block fails.
//
// A smaller part whose addresses wrap cannot be told from a chip that holds the same data twice
// by reads alone; MirroredHalves finds the case after a read so that it can be named.

#include "adapter/ch341a/Ch341Library.h"

#include <cstdint>
#include <span>

// NoAnswer: the chip refused a byte; LinkFailed: the adapter's link failed.
enum class IICProbeResult { Fits, TwoAddressBytes, OneAddressByte, NoAnswer, LinkFailed, Unsure };

IICProbeResult IICProbeAddressWidth(Ch341Library& library, uint8_t eepromType, uint8_t deviceBase);

// The upper half of the image repeats the lower half, and the bytes are not all alike.
bool MirroredHalves(std::span<const uint8_t> image);
