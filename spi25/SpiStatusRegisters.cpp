#include "spi25/SpiStatusRegisters.h"

#include "spi25/SpiFrames.h"
#include "spi25/SpiOpcodes.h"
#include "spi25/SpiText.h"

namespace spi25 {
namespace {

constexpr std::array<uint8_t, 3> ReadOpcodes{op::ReadStatus1, op::ReadStatus2, op::ReadStatus3};
constexpr std::array<uint8_t, 3> WriteOpcodes{op::WriteStatus1, op::WriteStatus2, op::WriteStatus3};

// 06; [50;] opcode value; wait; 04. The status write is a frame of its own: chips execute 50 alone
// and would ignore a register write riding in the same frame.
bool WriteRegister(bus::SpiMaster& spi, uint8_t opcode, uint8_t value, bool ewsr)
{
    return Command(spi, {op::WriteEnable}) && (!ewsr || Command(spi, {op::EnableStatusWrite})) &&
           Command(spi, {opcode, value}) && WaitReady(spi, ShortOperation).ok() && Command(spi, {op::WriteDisable});
}

} // namespace

StatusRead ReadStatusRegisters(bus::SpiMaster& spi, int statusRegisters)
{
    StatusRead result;
    for (int i = 0; i < 3 && UsesStatusRegister(i, statusRegisters); ++i) {
        if (!ReadRegister(spi, ReadOpcodes[i], result.values[i])) {
            result.failed = true;
            break;
        }
        result.registersRead = i + 1;
    }
    return result;
}

StatusWrite WriteStatusRegisters(bus::SpiMaster& spi, const StatusValues& sr, int statusRegisters, bool ewsr)
{
    StatusWrite result;
    switch (statusRegisters) {
    case 1:
        result.attempted = true;
        result.failed[0] = !WriteRegister(spi, WriteOpcodes[0], sr[0], ewsr);
        break;
    case 2:
        result.attempted = true;
        (void)(Command(spi, {op::WriteEnable}) && Command(spi, {op::WriteStatus1, sr[0], sr[1]}) &&
               Command(spi, {op::WriteDisable}));
        break;
    case 3:
        result.attempted = true;
        for (int i = 0; i < 3; ++i) result.failed[i] = !WriteRegister(spi, WriteOpcodes[i], sr[i], false);
        break;
    default: break;
    }
    return result;
}

std::string StatusRegisterText(const StatusValues& values, int statusRegisters)
{
    std::string text;
    for (int i = 0; i < 3; ++i)
        if (UsesStatusRegister(i, statusRegisters)) text += (text.empty() ? "0x" : " 0x") + HexText(values[i], 2);
    return text;
}

TextPair StatusRegisterLines(const StatusValues& values, int statusRegisters)
{
    TextPair text;
    if (statusRegisters < 1 || statusRegisters > 3) return text;
    for (int i = 0; i < statusRegisters; ++i) {
        const std::string value = std::to_string(i + 1) + " = 0x" + HexText(values[std::size_t(i)], 2);
        text.en += "\nStatus Register" + value;
        text.ru += "\nРегистр статуса " + value;
    }
    return text;
}

} // namespace spi25
