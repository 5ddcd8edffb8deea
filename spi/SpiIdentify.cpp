#include "spi/SpiIdentify.h"

#include "adapter/Uch_spi.h"
#include "chipdb/ChipKind.h"

#include <array>

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

uint32_t GetSpiId(Ch341Library& library, SpiLog& log)
{
    std::array<uint8_t, 3> jedec{0xFF, 0xFF, 0xFF};
    bool ok = SPIReadJedecId(library, jedec);
    uint32_t value = uint32_t(jedec[0]) << 16 | uint32_t(jedec[1]) << 8 | jedec[2];
    if (value == NoJedecAnswer) {
        std::array<uint8_t, 2> res{0xFF, 0xFF};
        ok = SPIReadResId(library, res);
        value = ResValue(res);
    }
    if (!ok) {
        log.push_back({spitext::SignatureReadError, true});
        return NoJedecAnswer;
    }
    return value;
}

uint32_t GetSpiIdAB(Ch341Library& library)
{
    // A failed transfer leaves the bytes as they were: no answer.
    std::array<uint8_t, 2> res{0xFF, 0xFF};
    SPIReadResId(library, res);
    return ResValue(res);
}

bool ChipPresent(Ch341Library& library, std::string_view chipKind, SpiLog& log)
{
    const bool suspect = GetSpiId(library, log) == NoJedecAnswer || GetSpiId(library, log) == NoResAnswer;
    if (!suspect) return true;
    if (!chipdb::identificationRequired(chipKind)) {
        // A chip without an identification still drives its status register; an empty socket
        // reads all ones, which no 25xx status register holds (its top bits read as zero).
        uint8_t status = 0xFF;
        if (SPIReadRegister(library, 0x05, status) && status != 0xFF) return true;
    }
    log.push_back({spitext::DeviceDefective, true});
    return false;
}

SpiLog SpiIdLines(Ch341Library& library)
{
    SpiLog log;
    const uint32_t id = GetSpiId(library, log);
    log.push_back(Navy("\nJEDEC ID(9F) = 0x" + HexText(id, 6)));
    std::array<uint8_t, 2> res{0xFF, 0xFF}, rems{0xFF, 0xFF};
    SPIReadResId(library, res);
    log.push_back(Navy("RES ID(AB) = 0x" + HexText(ResValue(res), 6)));
    SPIReadRemsId(library, rems);
    log.push_back(Navy("REMS ID(90) = 0x" + HexText(ResValue(rems), 6) + "\n"));
    return log;
}

LogLine UniqueIdLine(Ch341Library& library)
{
    std::array<uint8_t, 8> id{};
    SPIReadUniqueId(library, id);
    uint64_t value = 0;
    for (uint8_t byte : id) value = value << 8 | byte;
    return Navy("Unique ID = " + HexText(value, 16));
}
