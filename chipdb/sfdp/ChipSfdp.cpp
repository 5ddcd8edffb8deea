#include "chipdb/sfdp/ChipSfdp.h"

#include "chipdb/sfdp/SfdpDumps.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <string>

namespace sfdp {

namespace {

bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// Families whose every part is older than SFDP: ST/Numonyx M25P, M25PE and M25PX; SST25; Atmel
// AT25DF, AT26DF, AT25F, AT25FS and AT25DQ; EON EN25P, EN25F, EN25B and EN25T; PMC PM25LV; AMIC
// A25L0xx; Macronix MX25L2026.
constexpr std::string_view OldFamilies[] = {"M25P",  "SST25", "AT25DF", "AT26DF", "AT25F", "AT25DQ",   "EN25P",
                                            "EN25F", "EN25B", "EN25T",  "PM25LV", "A25L0", "MX25L2026"};

// S25FL A and P families (S25FL032A, S25FL129P): the letter after the density.
bool IsOldSpansion(std::string_view name)
{
    if (!StartsWith(name, "S25FL")) return false;
    std::size_t i = 5;
    while (i < name.size() && std::isdigit(static_cast<unsigned char>(name[i]))) ++i;
    return i > 5 && i < name.size() && (name[i] == 'A' || name[i] == 'P');
}

} // namespace

bool PredatesSfdp(std::string_view chipText)
{
    std::string name(chipText);
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (std::any_of(std::begin(OldFamilies), std::end(OldFamilies),
                    [&](std::string_view f) { return StartsWith(name, f); }))
        return true;
    // Winbond W25X before the CL parts, W25Q BV; Macronix MX25L xx05, xx05A and xx05D.
    if (StartsWith(name, "W25X")) return name.find("CL") == std::string::npos;
    if (StartsWith(name, "W25Q")) return EndsWith(name, "BV");
    if (StartsWith(name, "MX25L")) return EndsWith(name, "05") || EndsWith(name, "05A") || EndsWith(name, "05D");
    return IsOldSpansion(name);
}

std::vector<uint8_t> TableOfChip(const DatabaseChip& chip)
{
    if (const Dump* dump = DumpOfRow(chip.chipText)) return dump->bytes;
    if (chip.jedecId.size() != 3 || PredatesSfdp(chip.chipText)) return {};
    ChipFacts facts;
    facts.size = chip.size;
    facts.pageSize = chip.pageSize;
    facts.eraseTypes = CommonEraseTypes();
    facts.addressing =
        chip.fourByteAddressing || chip.size > ThreeByteReach ? Addressing::ThreeOrFourBytes : Addressing::ThreeBytes;
    facts.timing = chip.timing;
    return Build(facts).value_or(std::vector<uint8_t>{});
}

} // namespace sfdp
