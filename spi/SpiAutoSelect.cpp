#include "spi/SpiAutoSelect.h"

#include "chipdb/ChipKind.h"
#include "spi/SpiIdentify.h"

namespace {

using Outcome = AutoSelectResult::Outcome;

// Shows the rows whose SIGNATURE contains `text` (any letter case) and counts them.
int FilterBySignature(chipdb::ChipTable& table, chipdb::ChipListFilter& filter, const std::string& text)
{
    filter.signatureMode = true;
    filter.signatureText = text;
    if (table.filtered())
        table.refilter();
    else
        table.setFiltered(true);
    return table.visibleCount();
}

} // namespace

AutoSelectResult ReadChipId(Ch341Library& library, chipdb::ChipTable& table, chipdb::ChipListFilter& filter,
                            std::string_view selectedKind, SpiLog& log)
{
    AutoSelectResult result;
    uint32_t value = GetSpiId(library, log);
    if (value == NoJedecAnswer) value = GetSpiIdAB(library);
    if (value == NoResAnswer && chipdb::identificationRequired(selectedKind)) {
        log.push_back({spitext::AutoSelectDeviceDefective, true});
        return result;
    }
    if (value == 0) {
        result.outcome = Outcome::ZeroId;
        return result;
    }

    auto search = [&](std::string text) {
        result.searchText = std::move(text);
        result.matches = FilterBySignature(table, filter, result.searchText);
        if (result.matches > 1) result.outcome = Outcome::Several;
        if (result.matches == 1) result.outcome = Outcome::OneMatch;
        return result.matches > 0;
    };
    if (search(HexText(value, 6))) return result;

    const std::string resText = HexText(GetSpiIdAB(library), 4);
    if (search(resText)) {
        if (result.outcome == Outcome::OneMatch)
            result.afterChoosing =
                LogLine{SameText("\nChip ID = 0x" + resText + " (" + table.current()->CHIPTEXT + ")"), false};
        return result;
    }

    const std::string idText = HexText(GetSpiId(library, log), 6);
    result.outcome = Outcome::Unknown;
    log.push_back(
        {{"Chip ID = 0x" + idText + " (Unknown device)", "Chip ID = 0x" + idText + " (Неизвестный чип)"}, false});
    return result;
}
