#include "adapter/emulator/EmulatedChipConfig.h"

#include "chipdb/protection/ProtectionTraits.h"
#include "chipdb/sfdp/ChipSfdp.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>

namespace {

constexpr std::array<std::string_view, 13> I2cKinds{"ID_24C01",   "ID_24C02",   "ID_24C04",  "ID_24C08",  "ID_24C16",
                                                    "ID_24C32",   "ID_24C64",   "ID_24C128", "ID_24C256", "ID_24C512",
                                                    "ID_24C1024", "ID_24C2048", "ID_24C4096"};

// The datasheets' address widths: the 93C06, 93C56 and 93C76 take as many bits as the next larger
// part and ignore the top one or two.
struct MicrowireKind {
    std::string_view kind;
    MicrowireShape shape;
};
constexpr std::array<MicrowireKind, 12> MicrowireKinds{{
    {"ID_93C06_8", {7, 8}},
    {"ID_93C06_16", {6, 16}},
    {"ID_93C46_8", {7, 8}},
    {"ID_93C46_16", {6, 16}},
    {"ID_93C56_8", {9, 8}},
    {"ID_93C56_16", {8, 16}},
    {"ID_93C66_8", {9, 8}},
    {"ID_93C66_16", {8, 16}},
    {"ID_93C76_8", {11, 8}},
    {"ID_93C76_16", {10, 16}},
    {"ID_93C86_8", {11, 8}},
    {"ID_93C86_16", {10, 16}},
}};

constexpr uint32_t MaxEmulatedSize = 128u << 20;

std::optional<std::vector<uint8_t>> parseHex(std::string_view text)
{
    if (text.size() % 2 != 0) return std::nullopt;
    std::vector<uint8_t> bytes;
    auto nibble = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    };
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int high = nibble(text[i]), low = nibble(text[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes.push_back(static_cast<uint8_t>(high * 16 + low));
    }
    return bytes;
}

} // namespace

std::optional<uint8_t> I2cTypeOfKind(std::string_view kind)
{
    for (std::size_t i = 0; i < I2cKinds.size(); ++i)
        if (I2cKinds[i] == kind) return static_cast<uint8_t>(i);
    return std::nullopt;
}

std::optional<MicrowireShape> MicrowireShapeOfKind(std::string_view kind)
{
    for (const MicrowireKind& entry : MicrowireKinds)
        if (entry.kind == kind) return entry.shape;
    return std::nullopt;
}

std::optional<EmulatedChipFamily> EmulatedFamilyOf(std::string_view kind)
{
    if (I2cTypeOfKind(kind)) return EmulatedChipFamily::I2cEeprom;
    if (MicrowireShapeOfKind(kind)) return EmulatedChipFamily::Microwire93;
    if (kind == "ID_SPI2" || kind == "ID_SPI22") return EmulatedChipFamily::SpiEeprom;
    if (kind == "ID_SPI1" || kind == "ID_SPI3" || kind == "ID_SPI24" || kind == "ID_SPI25")
        return EmulatedChipFamily::SpiFlash;
    return std::nullopt;
}

namespace {

std::string Upper(std::string_view text)
{
    std::string upper(text);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

// S25FL-S parts (S25FL127S, S25FL128S, S25FL256S, ...): a family letter S after the density.
bool IsSpansionFlS(std::string_view name)
{
    if (!StartsWith(name, "S25FL")) return false;
    std::size_t i = 5;
    while (i < name.size() && std::isdigit(static_cast<unsigned char>(name[i]))) ++i;
    return i > 5 && i < name.size() && name[i] == 'S';
}

// The maker's meaning of B9 and the maker's timings.
void ApplyMakerBehaviour(EmulatedChipConfig& config, std::string_view name, std::string_view maker)
{
    const bool sst25 = StartsWith(name, "SST25") || config.kind == "ID_SPI3";
    if (IsSpansionFlS(name) && (maker == "SPANSION" || maker == "CYPRESS" || maker == "INFINEON"))
        config.b9 = B9Command::BankRegisterAccess;
    else if (sst25)
        config.b9 = B9Command::Ignored;
    if (maker == "WINBOND") config.powerDownReleaseTime = std::chrono::microseconds(3);
    if (maker == "WINBOND" && StartsWith(name, "W25Q"))
        config.pageProgramTime = std::chrono::microseconds(400); // typical
}

// The part's protection, by the same scheme the program decides with.
void ApplyProtection(EmulatedChipConfig& config, std::string_view name)
{
    config.scheme = chipdb::protectionSchemeOf(name, config.kind);
    switch (config.scheme.rule) {
    case chipdb::RangeRule::SectorRegisters: config.protection = FlashProtection::At25dfSectors; break;
    case chipdb::RangeRule::BlockRegister: config.protection = FlashProtection::Sst26Blocks; break;
    default: config.protection = FlashProtection::StatusBits; break;
    }
    // Parts that power up protected come back so after every power cycle: no saved state applies.
    if (config.scheme.powersUpProtected) {
        config.volatileProtection = true;
        config.initialStatus = config.scheme.powerUpStatus;
    }
}

} // namespace

std::optional<EmulatedChipConfig> MakeEmulatedChipConfig(const EmulatedChipFacts& facts)
{
    const auto family = EmulatedFamilyOf(facts.kind);
    if (!family || facts.size == 0 || facts.size > MaxEmulatedSize || facts.pageSize == 0 ||
        facts.pageSize > facts.size)
        return std::nullopt;

    EmulatedChipConfig config;
    config.kind = std::string(facts.kind);
    config.size = facts.size;
    config.pageSize = facts.pageSize;
    config.jedecId.clear();
    config.resId = {0xFF, 0xFF};
    config.remsId = {0xFF, 0xFF};
    if (facts.chipText == "PCA24S08") config.i2cDeviceAddress = 0xA8;
    ApplyProtection(config, facts.chipText);
    if (const auto shape = MicrowireShapeOfKind(facts.kind)) {
        // Whole words only.
        if (facts.size % (shape->wordBits / 8) != 0) return std::nullopt;
        config.microwireAddressBits = shape->addressBits;
        config.microwireWordBits = shape->wordBits;
    }
    if (*family != EmulatedChipFamily::SpiFlash) return config;

    const auto id = parseHex(facts.signature);
    if (id && id->size() == 3) {
        // RES and REMS answer with the device id, by common convention the capacity code - 1.
        const uint8_t device = static_cast<uint8_t>((*id)[2] - 1);
        config.jedecId = *id;
        config.resId = {device, device};
        config.remsId = {(*id)[0], device};
    } else if (id && id->size() == 2) {
        config.resId = {(*id)[0], (*id)[1]};
        config.remsId = config.resId;
    }
    const double seconds = facts.eraseSeconds > 0 && std::isfinite(facts.eraseSeconds)
                               ? facts.eraseSeconds
                               : std::max(1.0, 2.0 * facts.size / double(1u << 20));
    config.chipEraseTime = std::chrono::microseconds(static_cast<int64_t>(seconds * 1e6));
    if (facts.kind == "ID_SPI3") config.autoAddressIncrement = true;
    ApplyMakerBehaviour(config, Upper(facts.chipText), Upper(facts.manufacturer));
    const bool fourByte = facts.kind == "ID_SPI24" || facts.kind == "ID_SPI25";
    config.sfdp = sfdp::TableOfChip(
        {facts.chipText,
         config.size,
         config.pageSize,
         config.jedecId,
         fourByte,
         {config.pageProgramTime, config.sectorEraseTime, config.blockEraseTime, config.chipEraseTime}});
    return config;
}

std::optional<std::array<uint8_t, 3>> ParseStatusPreset(std::string_view text)
{
    std::array<uint8_t, 3> values{0, 0, 0};
    for (std::size_t index = 0;; ++index) {
        const std::size_t comma = text.find(',');
        std::string_view item = text.substr(0, comma);
        if (item.size() > 2 && (StartsWith(item, "0x") || StartsWith(item, "0X"))) item.remove_prefix(2);
        if (index >= values.size() || item.empty() || item.size() > 2) return std::nullopt;
        const auto byte = parseHex(item.size() == 1 ? "0" + std::string(item) : std::string(item));
        if (!byte) return std::nullopt;
        values[index] = (*byte)[0];
        if (comma == std::string_view::npos) return values;
        text.remove_prefix(comma + 1);
    }
}

EmulatedChipConfig DefaultEmulatedChip()
{
    return *MakeEmulatedChipConfig({"W25Q64FV", "ID_SPI1", 8u << 20, 256, "EF4017", 20, "WINBOND"});
}
