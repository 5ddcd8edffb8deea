#pragma once
// The 24xx family's driver, over the adapter's I2C master. Every byte's acknowledgement is
// checked: a refused byte ends the operation at its address, and a page write waits for the
// chip's write cycle by polling its device byte. The fast paths (ACK checking off) send without
// looking at acknowledgements, as the adapter library's block operations do.

#include "adapter/EepromAddressing.h"
#include "adapter/bus/I2cMaster.h"
#include "family/ChipDriver.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <span>

namespace i2c24 {

// One random read per block.
inline constexpr uint32_t ReadBlock = 32;
// How long a write cycle may take (5 ms for most parts, 10 ms for some): at least this many polls
// and this much of the adapter's time.
inline constexpr int MinWriteCyclePolls = 20;
inline constexpr std::chrono::milliseconds WriteCycleLimit{100};
// Bytes one sequential read of the fast path asks for.
inline constexpr uint32_t FastReadChunk = 4096;

// What a look at the chip says about its address width (see probeAddressWidth).
enum class AddressWidthProbe { Fits, TwoAddressBytes, OneAddressByte, NoAnswer, LinkFailed, Unsure };

class I2c24Driver final : public family::ChipDriver {
public:
    // `slaveAddress`: the device address chosen by the user (bit 0 included), used unless the part
    // answers at one address only.
    I2c24Driver(chipdb::Chip chip, bus::I2cMaster& i2c, uint8_t slaveAddress, bool checkAcknowledge = true);

    family::Capabilities capabilities() const override;
    family::Result identify(family::Identity& identity) override;
    // With acknowledgements checked: whole blocks of ReadBlock bytes from `address`; a remainder
    // below a block is not read. Fast: the whole span in sequential reads.
    family::Result read(uint32_t address, std::span<uint8_t> into, family::Progress& progress) override;
    // Pages of the chip's page size from `address` (the last may be short).
    family::Result program(uint32_t address, std::span<const uint8_t> data, family::Progress& progress) override;
    family::Result erase(family::Progress& progress) override;

    // Tells, by reads only, whether the chip in the socket can be the selected type. A part with
    // two address bytes takes a single address byte as half an address and ignores it, so two
    // reads of address 0 answer differently; a part with one address byte takes the first of two
    // address bytes as its address, so the answer at 0x0100 is the one at 0 moved on by one.
    // Contents whose bytes are all alike cannot tell: Unsure.
    AddressWidthProbe probeAddressWidth();

    uint8_t deviceBase() const { return deviceBase_; }

private:
    family::Result readChecked(uint32_t address, std::span<uint8_t> into, family::Progress& progress);
    family::Result readFast(uint32_t address, std::span<uint8_t> into, family::Progress& progress);
    // One random read; a refused byte or a failed exchange as a failure at `address`.
    family::Result randomRead(uint32_t address, std::span<uint8_t> into);
    family::Result writePage(uint32_t address, std::span<const uint8_t> data);
    // Polls the device byte until the chip acknowledges it (its write cycle is over); a chip that
    // never does fails at `address`, the first byte after the page.
    family::Result waitWriteCycle(uint8_t device, uint32_t address, bool answered);
    family::Failure linkFailure(uint32_t address) const;
    // Room for the acknowledgements of a transaction, kept from page to page.
    std::span<bool> acknowledgements(std::size_t count);

    bus::I2cMaster& i2c_;
    uint8_t deviceBase_;
    bool checkAcknowledge_;
    std::unique_ptr<bool[]> acknowledgements_;
    std::size_t acknowledgementRoom_ = 0;
};

// The upper half of the image repeats the lower half, and the bytes are not all alike: the chip
// may be a smaller part whose addresses wrap.
bool MirroredHalves(std::span<const uint8_t> image);

} // namespace i2c24
