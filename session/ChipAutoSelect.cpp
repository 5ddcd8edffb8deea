#include "session/ChipAutoSelect.h"

#include "session/Language.h"
#include "session/Session.h"
#include "spi25/SpiIdentify.h"

namespace {

using Result = AutoSelectResult::Outcome;

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

void Print(Session& session, const SpiLog& log)
{
    for (const LogLine& line : log)
        if (line.error)
            session.fail(Outcome::NoDevice, Localized(line.text));
        else
            session.PrintLog(Localized(line.text));
}

} // namespace

AutoSelectResult ReadChipId(bus::SpiMaster& spi, chipdb::ChipTable& table, chipdb::ChipListFilter& filter,
                            bool identificationRequired, SpiLog& log)
{
    AutoSelectResult result;
    uint32_t value = spi25::GetSpiId(spi, log);
    if (value == spi25::NoJedecAnswer) value = spi25::GetSpiIdAB(spi);
    if (value == spi25::NoResAnswer && identificationRequired) {
        log.push_back({spitext::AutoSelectDeviceDefective, true});
        return result;
    }
    if (value == 0) {
        result.outcome = Result::ZeroId;
        return result;
    }

    auto search = [&](std::string text) {
        result.searchText = std::move(text);
        result.matches = FilterBySignature(table, filter, result.searchText);
        if (result.matches > 1) result.outcome = Result::Several;
        if (result.matches == 1) result.outcome = Result::OneMatch;
        return result.matches > 0;
    };
    if (search(HexText(value, 6))) return result;

    const std::string resText = HexText(spi25::GetSpiIdAB(spi), 4);
    if (search(resText)) {
        if (result.outcome == Result::OneMatch)
            result.afterChoosing =
                LogLine{SameText("\nChip ID = 0x" + resText + " (" + table.current()->CHIPTEXT + ")"), false};
        return result;
    }

    const std::string idText = HexText(spi25::GetSpiId(spi, log), 6);
    result.outcome = Result::Unknown;
    log.push_back(
        {{"Chip ID = 0x" + idText + " (Unknown device)", "Chip ID = 0x" + idText + " (Неизвестный чип)"}, false});
    return result;
}

void AutoSelectChip(Session& session, bus::SpiMaster& spi)
{
    ChipCatalogue& catalogue = session.catalogue();
    SpiLog log;
    const AutoSelectResult result =
        ReadChipId(spi, catalogue.ClientDataSet, catalogue.ChipFilter, catalogue.chip.identificationRequired, log);
    Print(session, log);
    switch (result.outcome) {
    case Result::OneMatch:
        session.PrintLog(Localized("Chip ID read: 0x", "Прочитан ID чипа: 0x") +
                         QString::fromStdString(result.searchText));
        catalogue.ChooseChip(false);
        if (result.afterChoosing) Print(session, {*result.afterChoosing});
        break;
    case Result::Several: {
        session.PrintLog(Localized("Chip ID read: 0x%1; %2 chips of the database have it.",
                                   "Прочитан ID чипа: 0x%1; он есть у %2 чипов базы.")
                             .arg(QString::fromStdString(result.searchText))
                             .arg(result.matches));
        // The chip already selected stays when it is one of them.
        const std::string current = catalogue.chip.name;
        for (int i = 0; i < catalogue.ClientDataSet.visibleCount(); ++i)
            if (catalogue.ClientDataSet.visibleRow(i).CHIPTEXT == current) {
                catalogue.ChipFilter.signatureMode = false;
                catalogue.ClientDataSet.refilter();
                catalogue.locate(current);
                return;
            }
        session.events().chooseAmongChips();
        break;
    }
    case Result::NoChip:
    case Result::ZeroId:
    case Result::Unknown: session.noteOutcome(Outcome::NoDevice); break;
    }
}
