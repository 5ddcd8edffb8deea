#pragma once
// The 93Cxx family's driver, over the adapter's pin bus: the chip is clocked pin by pin, many
// clock edges to a USB packet and the data line sampled in the same stream.
//
// Image layout: in the x16 organisation each word is two bytes of the image, its high byte first
// (the order its bits leave the chip); in x8 the image is the cells in order.
//
// An empty socket: the adapter's data input floats high, and a chip drives DO low for the dummy
// bit that follows READ's address, so every read, and the start of every write and erase, checks
// that bit: high means NoChip. A chip that then takes a programming instruction shows busy (DO
// low) as soon as chip select rises again; one that does not, and whose word did not change, is
// Refused. A chip that never shows ready again fails with StayedBusy after the chip's busy limit
// in the adapter's time. Reads and the start of writes look at DO before their instructions too:
// a chip still busy hears no instruction, and its low DO would pass for a dummy bit and data.

#include "adapter/bus/PinBus.h"
#include "family/ChipDriver.h"
#include "microwire93/Instruction.h"

#include <chrono>
#include <cstdint>
#include <span>
#include <vector>

namespace microwire93 {

// Bytes read per exchange: one READ instruction, then its words.
inline constexpr uint32_t ReadChunk = 64;
// A poll of the ready line takes at least this long in the adapter's time: on the real adapter a
// USB round trip does; faster buses (an emulated adapter) pause for the rest, so a wait never
// spins.
inline constexpr std::chrono::microseconds PollPeriod{1000};
// The host learns a poll's answer when the USB frame it runs in ends (1 ms at full speed), however
// early in the frame DO was sampled; a poll that samples a little later in its frame (after a few
// packets of held pins) sees a cycle that ended meanwhile a whole frame earlier.
inline constexpr std::chrono::microseconds PollLateness{90};

class Microwire93Driver final : public family::ChipDriver {
public:
    Microwire93Driver(chipdb::Chip chip, bus::PinBus& pins);

    family::Capabilities capabilities() const override;
    // The chip has no id: `answered` tells whether it drives the dummy bit of a read.
    family::Result identify(family::Identity& identity) override;
    family::Result read(uint32_t address, std::span<uint8_t> into, family::Progress& progress) override;
    // Whole words (WRITE erases the word itself). Data that fills the whole chip with one word
    // goes out as WRAL (ERAL for an erased word), then is read back and mended word by word where
    // the chip did not take it (some parts take ERAL and WRAL at 5 V only).
    family::Result program(uint32_t address, std::span<const uint8_t> data, family::Progress& progress) override;
    // ERAL, read back and mended as above: advances by the bytes found erased.
    family::Result erase(family::Progress& progress) override;

private:
    Geometry geometry() const;
    bool usable() const;
    // Runs batch_ into samples_; a failed exchange is a Link failure at `address`.
    family::Result run(uint32_t address);
    // run() for a batch whose first sample looks at DO right after chip select rises, before its
    // instructions: a chip still busy with an earlier cycle hears none of them, so it is waited
    // for and the batch runs again.
    family::Result runWhenReady(uint32_t address, family::Progress* progress);
    // Whole words covering [address, address + into.size()), the bytes wanted copied into `into`.
    family::Result readRange(uint32_t address, std::span<uint8_t> into, family::Progress& progress);
    // The dummy bit of a read of word 0, then EWEN; `address` names a failure.
    family::Result enableWrites(uint32_t address, family::Progress* progress);
    // EWDS where writes were enabled, then the pins back to the SPI engine; the first failure
    // is the one reported.
    family::Result finish(family::Result result, bool disableWrites);
    // One programming instruction and its cycle; `address` is the first byte it changes. Refused
    // when the chip never shows busy.
    family::Result programOne(Bits instruction, uint32_t address, family::Progress* progress);
    // programOne for the instruction that leaves `expected` in `word`; a chip that never shows
    // busy is Refused only if the word did not change.
    family::Result programWord(Bits instruction, uint32_t word, uint16_t expected);
    family::Result waitReady(std::chrono::nanoseconds start, uint32_t address, family::Progress* progress);
    family::Result programWords(uint32_t address, std::span<const uint8_t> data, family::Progress& progress);
    family::Result fill(uint16_t word, family::Progress& progress);
    family::Failure linkFailure(uint32_t address) const;
    uint16_t wordAt(std::span<const uint8_t> bytes, uint32_t offset) const;

    bus::PinBus& pins_;
    bus::SocketPins socket_;
    bus::PinBatch batch_;
    bus::PinBatch poll_; // a look at the ready line, chip select raised
    std::vector<uint8_t> samples_;
};

} // namespace microwire93
