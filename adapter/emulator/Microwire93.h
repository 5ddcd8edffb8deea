#pragma once
// A 93Cxx Microwire EEPROM, bit by bit: with chip select high, the first rising clock edge that
// sees DI high is the start bit; a two-bit opcode and the address field follow (its width set by
// part and organisation, the top bits don't-care on the smaller parts). READ answers a dummy 0
// after the last address bit, then the words from that address, most significant bit first, and
// goes on to the next word (wrapping at the end) for as long as it is clocked. WRITE, ERASE, ERAL
// and WRAL take effect when chip select falls after the whole instruction, if EWEN came before
// (EWDS withdraws it; the chip starts write-disabled); the write cycle then runs, during which
// the chip takes no instruction and, with chip select high, holds DO low until it is ready. A
// chip configured without ERAL and WRAL ignores them, as Microchip's parts do below 4.5 V; a
// write-protected one (program-enable pin low) ignores every programming instruction.
//
// The cells are the memory's bytes; in the x16 organisation word w is bytes 2w (high) and 2w + 1.

#include "adapter/emulator/BusDevices.h"
#include "adapter/emulator/ChipMemory.h"
#include "adapter/emulator/EmuClock.h"
#include "adapter/emulator/EmulatedChipConfig.h"

#include <cstdint>

class Microwire93 final : public MicrowireSlave {
public:
    Microwire93(const EmulatedChipConfig& config, ChipMemory& memory, const EmuClock& clock);

    void lines(bool chipSelect, bool clock, bool dataIn) override;
    bool dataOut() const override;

private:
    enum class Phase {
        Deselected,
        AwaitStart,  // selected, no start bit yet: DO shows busy or ready
        Instruction, // opcode and address bits
        Data,        // the word of WRITE or WRAL
        Reading,     // DO carries the dummy bit, then the words
        Complete,    // a whole instruction: further clocks are ignored
    };
    enum class Program { None, Write, Erase, EraseAll, WriteAll };

    bool busy() const { return clock_.now() < busyUntil_; }
    void risingEdge(bool dataIn);
    void decode();
    void execute();
    uint16_t word(uint32_t index) const;
    void setWord(uint32_t index, uint16_t value);

    const EmulatedChipConfig& config_;
    ChipMemory& memory_;
    const EmuClock& clock_;
    uint32_t words_;
    bool selected_ = false, clockHigh_ = false;
    Phase phase_ = Phase::Deselected;
    uint32_t shift_ = 0; // bits taken since the start bit
    unsigned taken_ = 0;
    uint32_t address_ = 0;
    Program pending_ = Program::None;
    uint16_t data_ = 0;
    int outBit_ = -1; // READ: the bit of the word on DO, -1 for the dummy 0
    bool writeEnabled_ = false;
    EmuClock::Duration busyUntil_{0};
};
