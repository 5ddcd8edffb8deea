#include "spi25/SpiIdentify.h"

#include "spi25/SpiFrames.h"
#include "spi25/SpiOpcodes.h"

#include <array>

namespace spi25 {
namespace {

LogLine Navy(std::string text)
{
    return {SameText(text), false};
}

uint32_t ResValue(const std::array<uint8_t, 2>& id)
{
    return uint32_t(id[0]) << 8 | id[1];
}

} // namespace

uint32_t GetSpiId(bus::SpiMaster& spi, SpiLog& log)
{
    std::array<uint8_t, 3> jedec{0xFF, 0xFF, 0xFF};
    bool ok = ReadJedecId(spi, jedec);
    uint32_t value = uint32_t(jedec[0]) << 16 | uint32_t(jedec[1]) << 8 | jedec[2];
    if (value == NoJedecAnswer) {
        std::array<uint8_t, 2> res{0xFF, 0xFF};
        ok = ReadResId(spi, res);
        value = ResValue(res);
    }
    if (!ok) {
        log.push_back({spitext::SignatureReadError, true});
        return NoJedecAnswer;
    }
    return value;
}

uint32_t GetSpiIdAB(bus::SpiMaster& spi)
{
    // A failed transfer leaves the bytes as they were: no answer.
    std::array<uint8_t, 2> res{0xFF, 0xFF};
    ReadResId(spi, res);
    return ResValue(res);
}

bool ChipPresent(bus::SpiMaster& spi, const chipdb::Chip& chip, SpiLog& log)
{
    const bool suspect = GetSpiId(spi, log) == NoJedecAnswer || GetSpiId(spi, log) == NoResAnswer;
    if (!suspect) return true;
    if (!chip.identificationRequired) {
        // A chip without an identification still drives its status register; an empty socket
        // reads all ones, which no 25xx status register holds (its top bits read as zero).
        uint8_t status = 0xFF;
        if (ReadRegister(spi, op::ReadStatus1, status) && status != 0xFF) return true;
    }
    log.push_back({spitext::DeviceDefective, true});
    return false;
}

SpiLog SpiIdLines(bus::SpiMaster& spi)
{
    SpiLog log;
    const uint32_t id = GetSpiId(spi, log);
    log.push_back(Navy("\nJEDEC ID(9F) = 0x" + HexText(id, 6)));
    std::array<uint8_t, 2> res{0xFF, 0xFF}, rems{0xFF, 0xFF};
    ReadResId(spi, res);
    log.push_back(Navy("RES ID(AB) = 0x" + HexText(ResValue(res), 6)));
    ReadRemsId(spi, rems);
    log.push_back(Navy("REMS ID(90) = 0x" + HexText(ResValue(rems), 6) + "\n"));
    return log;
}

LogLine UniqueIdLine(bus::SpiMaster& spi)
{
    std::array<uint8_t, 8> id{};
    ReadUniqueId(spi, id);
    uint64_t value = 0;
    for (uint8_t byte : id) value = value << 8 | byte;
    return Navy("Unique ID = " + HexText(value, 16));
}

} // namespace spi25
