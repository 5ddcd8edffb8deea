#include "spi/SpiStatus.h"

#include "adapter/Uch_spi.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace {
constexpr std::array<uint8_t, 3> ReadOpcodes{0x05, 0x35, 0x15};
constexpr std::array<uint8_t, 3> WriteOpcodes{0x01, 0x31, 0x11};
} // namespace

StatusReadResult ReadStatusRegisters(Ch341Library& library, int statusRegCount, SpiLog& log)
{
    StatusReadResult result;
    for (int i = 0; i < 3 && UsesStatusRegister(i, statusRegCount); ++i) {
        if (!SPIReadRegister(library, ReadOpcodes[i], result.values[i])) {
            result.failed = true;
            log.push_back({spitext::StatusReadError, true});
            break;
        }
        result.registersRead = i + 1;
    }
    return result;
}

void ApplyStatusRead(StatusShadow& shadow, const StatusReadResult& read)
{
    std::copy_n(read.values.begin(), read.registersRead, shadow.SR.begin());
}

std::optional<LogLine> StatusRegisterLines(const StatusShadow& shadow, int statusRegCount)
{
    if (statusRegCount < 1 || statusRegCount > 3) return std::nullopt;
    TextPair text;
    for (int i = 0; i < statusRegCount; ++i) {
        const std::string value = std::to_string(i + 1) + " = 0x" + HexText(shadow.SR[i], 2);
        text.en += "\nStatus Register" + value;
        text.ru += "\nРегистр статуса " + value;
    }
    return LogLine{text, false};
}

void WriteStatusRegisters(Ch341Library& library, const StatusShadow& shadow, int statusRegCount,
                          std::string_view chipKind, SpiLog& log)
{
    const auto& sr = shadow.SR;
    switch (statusRegCount) {
    case 1: {
        const bool ok = chipKind == "ID_SPI3" ? SPIWriteStatusEWSR(library, WriteOpcodes[0], sr[0])
                                              : SPIWriteRegister(library, WriteOpcodes[0], sr[0]);
        if (!ok) log.push_back({spitext::StatusWriteError, true});
        return;
    }
    case 2: SPIWriteStatusPair(library, sr[0], sr[1]); return;
    case 3:
        for (int i = 0; i < 3; ++i)
            if (!SPIWriteRegister(library, WriteOpcodes[i], sr[i]))
                log.push_back({i < 2 ? spitext::StatusWriteError : spitext::StatusWrite3Error, true});
        return;
    default: return;
    }
}

std::string UpperChipName(std::string_view chipName)
{
    std::string upper(chipName);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

EraseStatusCheck CheckStatusBeforeErase(Ch341Library& library, std::string_view chipName, int statusRegCount,
                                        SpiLog& log)
{
    EraseStatusCheck check;
    std::array<uint8_t, 3> values{};
    for (int i = 0; i < 3 && UsesStatusRegister(i, statusRegCount); ++i) {
        if (!SPIReadRegister(library, ReadOpcodes[i], values[i])) {
            log.push_back({spitext::StatusReadError, true});
            return check;
        }
    }
    const std::string name = UpperChipName(chipName);
    if (name.find("AT25DF") != std::string::npos || name.find("AT26DF") != std::string::npos) values[0] &= 0xEF;
    check.readOk = true;
    check.warn = std::any_of(values.begin(), values.end(), [](uint8_t v) { return v != 0; });
    return check;
}
