#include "chipdb/protection/ProtectionTraits.h"

#include <array>
#include <cctype>

#include "chipdb/protection/ProtectionSchemes.h"

namespace chipdb {
namespace {

using namespace schemes;

bool IsDigit(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

bool SameLetter(char a, char b)
{
    return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
}

// The families the datasheet notes describe. Names the table leaves out keep the default.
constexpr std::array kTraits{
    ProtectionTrait{"MX23L*", &kMaskRom},
    // Winbond: the 256 and 512 Mbit parts keep BP3 where the smaller ones keep TB; the JV
    // generation (and the NW parts, all 512 Mbit here) names SRP1 SRL and makes it a power-cycle
    // lock only.
    ProtectionTrait{"W25Q256F*", &kWinbond256Fv},
    ProtectionTrait{"W25Q256*", &kWinbond256Jv},
    ProtectionTrait{"W25Q512*", &kWinbond256Jv},
    ProtectionTrait{"W25Q#J*", &kWinbondJv},
    ProtectionTrait{"W25Q*", &kWinbondFv},
    ProtectionTrait{"GD25Q64C", &kGd25q64c},
    ProtectionTrait{"GD25Q127C", &kGd25q128c},
    ProtectionTrait{"GD25Q128C", &kGd25q128c},
    ProtectionTrait{"GD25Q128E", &kGd25q128c},
    ProtectionTrait{"GD25Q256C", &kGd25q256c},
    ProtectionTrait{"GD25Q256D", &kGd25q256d},
    ProtectionTrait{"GD25Q256E", &kGd25q256d},
    ProtectionTrait{"GD25B256D", &kGd25q256d},
    ProtectionTrait{"GD25B256E", &kGd25q256d},
    ProtectionTrait{"GD25R256E", &kGd25q256d},
    ProtectionTrait{"XM25QH64C", &kXm25qh128c},
    ProtectionTrait{"XM25QH128C", &kXm25qh128c},
    ProtectionTrait{"XM25QH128D", &kXm25qh128c},
    ProtectionTrait{"S25FL128L", &kS25flL},
    ProtectionTrait{"S25FL256L", &kS25flL},
    ProtectionTrait{"MX25L6433F", &kMacronixOtpTb},
    ProtectionTrait{"MX25L12835F", &kMacronixOtpTb},
    ProtectionTrait{"MX25L12873F", &kMacronixOtpTb},
    ProtectionTrait{"MX25L2026", &kMx25l2026},
    ProtectionTrait{"MT25Q*", &kMicron},
    ProtectionTrait{"N25Q*", &kMicron},
    ProtectionTrait{"SST25VF020B", &kSst25vf020b},
    ProtectionTrait{"SST25*", &kSst25},
    ProtectionTrait{"SST26*", &kSst26},
    ProtectionTrait{"AT25DF*", &kAt25df},
    ProtectionTrait{"AT26DF*", &kAt25df},
    // 25xx EEPROMs large enough for 3-byte addresses; the smaller ones go by their kind.
    ProtectionTrait{"25AA1024", &kEeprom25},
    ProtectionTrait{"25LC1024", &kEeprom25},
    ProtectionTrait{"AT25M01", &kEeprom25},
    ProtectionTrait{"M95M01", &kEeprom25},
    ProtectionTrait{"M95M02", &kEeprom25},
};

bool Matches(std::string_view pattern, std::string_view name)
{
    if (pattern.empty()) return name.empty();
    switch (pattern.front()) {
    case '*':
        for (std::size_t skip = 0; skip <= name.size(); ++skip)
            if (Matches(pattern.substr(1), name.substr(skip))) return true;
        return false;
    case '#': {
        std::size_t digits = 0;
        while (digits < name.size() && IsDigit(name[digits])) ++digits;
        // One or more digits, as many as the rest of the pattern lets go.
        for (std::size_t take = digits; take >= 1; --take)
            if (Matches(pattern.substr(1), name.substr(take))) return true;
        return false;
    }
    default:
        return !name.empty() && SameLetter(pattern.front(), name.front()) && Matches(pattern.substr(1), name.substr(1));
    }
}

} // namespace

std::span<const ProtectionTrait> protectionTraits()
{
    return kTraits;
}

bool matchesChipPattern(std::string_view pattern, std::string_view chipName)
{
    return Matches(pattern, chipName);
}

const ProtectionScheme& protectionSchemeOf(std::string_view chipName, std::string_view chipKind)
{
    for (const ProtectionTrait& t : kTraits)
        if (Matches(t.pattern, chipName)) return *t.scheme;
    if (chipKind == "ID_SPI2" || chipKind == "ID_SPI22") return kEeprom25;
    if (chipKind == "ID_SPI3") return kSst25;
    return kBpAnyWholeChip;
}

} // namespace chipdb
