#include "adapter/emulator/Microwire93.h"

Microwire93::Microwire93(const EmulatedChipConfig& config, ChipMemory& memory, const EmuClock& clock)
    : config_(config), memory_(memory), clock_(clock),
      words_(uint32_t(memory.size() / (config.microwireWordBits == 16 ? 2 : 1)))
{
}

uint16_t Microwire93::word(uint32_t index) const
{
    const auto cells = memory_.bytes();
    if (index >= words_) return 0xFFFF;
    if (config_.microwireWordBits != 16) return cells[index];
    return uint16_t(cells[2 * index] << 8 | cells[2 * index + 1]);
}

void Microwire93::setWord(uint32_t index, uint16_t value)
{
    auto cells = memory_.bytes();
    if (index >= words_) return;
    if (config_.microwireWordBits != 16) {
        cells[index] = uint8_t(value);
    } else {
        cells[2 * index] = uint8_t(value >> 8);
        cells[2 * index + 1] = uint8_t(value);
    }
}

void Microwire93::lines(bool chipSelect, bool clock, bool dataIn)
{
    const bool rising = clock && !clockHigh_;
    clockHigh_ = clock;
    if (chipSelect != selected_) {
        selected_ = chipSelect;
        if (!chipSelect) {
            execute();
            phase_ = Phase::Deselected;
        } else {
            phase_ = Phase::AwaitStart;
        }
        return;
    }
    if (selected_ && rising) risingEdge(dataIn);
}

void Microwire93::risingEdge(bool dataIn)
{
    switch (phase_) {
    case Phase::AwaitStart:
        if (dataIn && !busy()) {
            phase_ = Phase::Instruction;
            shift_ = taken_ = 0;
            pending_ = Program::None;
        }
        return;
    case Phase::Instruction:
        shift_ = shift_ << 1 | (dataIn ? 1 : 0);
        if (++taken_ == 2u + config_.microwireAddressBits) decode();
        return;
    case Phase::Data:
        data_ = uint16_t(data_ << 1 | (dataIn ? 1 : 0));
        if (++taken_ == config_.microwireWordBits) phase_ = Phase::Complete;
        return;
    case Phase::Reading:
        if (++outBit_ == config_.microwireWordBits) {
            outBit_ = 0;
            address_ = words_ ? (address_ + 1) % words_ : 0;
        }
        return;
    case Phase::Deselected:
    case Phase::Complete: return;
    }
}

void Microwire93::decode()
{
    const unsigned bits = config_.microwireAddressBits;
    const uint32_t opcode = shift_ >> bits;
    const uint32_t field = shift_ & ((1u << bits) - 1);
    address_ = words_ ? field % words_ : 0;
    phase_ = Phase::Complete;
    taken_ = 0;
    data_ = 0;
    switch (opcode) {
    case 0b10:
        phase_ = Phase::Reading;
        outBit_ = -1;
        return;
    case 0b01:
        pending_ = Program::Write;
        phase_ = Phase::Data;
        return;
    case 0b11: pending_ = Program::Erase; return;
    default: break;
    }
    switch (field >> (bits - 2)) {
    case 0b11: writeEnabled_ = true; return;
    case 0b00: writeEnabled_ = false; return;
    case 0b10: pending_ = Program::EraseAll; return;
    default:
        pending_ = Program::WriteAll;
        phase_ = Phase::Data;
        return;
    }
}

void Microwire93::execute()
{
    // Only a whole instruction programs: one cut short by chip select does nothing.
    const Program program = phase_ == Phase::Complete ? pending_ : Program::None;
    pending_ = Program::None;
    const bool bulk = program == Program::EraseAll || program == Program::WriteAll;
    if (program == Program::None || !writeEnabled_ || config_.microwireWriteProtected ||
        (bulk && !config_.microwireBulkInstructions))
        return;
    const uint16_t erased = uint16_t((1u << config_.microwireWordBits) - 1);
    switch (program) {
    case Program::Write: setWord(address_, data_); break;
    case Program::Erase: setWord(address_, erased); break;
    case Program::EraseAll:
    case Program::WriteAll:
        for (uint32_t w = 0; w < words_; ++w) setWord(w, program == Program::EraseAll ? erased : data_);
        break;
    case Program::None: break;
    }
    memory_.markChanged();
    busyUntil_ = clock_.now() + config_.eepromWriteCycle;
}

bool Microwire93::dataOut() const
{
    switch (phase_) {
    case Phase::AwaitStart: return !busy();
    case Phase::Reading:
        if (outBit_ < 0) return false;
        return (word(address_) >> (config_.microwireWordBits - 1 - outBit_)) & 1;
    default: return true;
    }
}
