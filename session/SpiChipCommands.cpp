#include "session/SpiChipCommands.h"

#include "session/Session.h"
#include "spi/SpiAutoSelect.h"
#include "spi/SpiIdentify.h"

void SpiChipCommands::SBIdClick()
{
    session_.commands().spi().PrintSpiLog(SpiIdLines(*session_.adapter().Library));
}

void SpiChipCommands::UID1Click()
{
    session_.commands().spi().PrintSpiLog({UniqueIdLine(*session_.adapter().Library)});
}

void SpiChipCommands::MmAutoSelClick()
{
    ChipCatalogue& catalogue = session_.catalogue();
    SpiLog log;
    const AutoSelectResult result = ReadChipId(*session_.adapter().Library, catalogue.ClientDataSet,
                                               catalogue.ChipFilter, catalogue.chip.ChipKind, log);
    SpiOperations& spi = session_.commands().spi();
    spi.PrintSpiLog(log);
    switch (result.outcome) {
    case AutoSelectResult::Outcome::OneMatch:
        catalogue.ChooseChip(false);
        if (result.afterChoosing) spi.PrintSpiLog({*result.afterChoosing});
        break;
    case AutoSelectResult::Outcome::Several: session_.events().chooseAmongChips(); break;
    case AutoSelectResult::Outcome::NoChip:
    case AutoSelectResult::Outcome::ZeroId: session_.noteOutcome(Outcome::NoDevice); break;
    case AutoSelectResult::Outcome::Unknown: session_.noteOutcome(Outcome::NoDevice); break;
    }
}

StatusReadResult SpiChipCommands::ReadStatusIntoShadow()
{
    SpiLog log;
    const StatusReadResult read = ReadStatusRegisters(*session_.adapter().Library, session_.chip().StatusRegCount, log);
    ApplyStatusRead(session_.document().StatusShadow, read);
    session_.commands().spi().PrintSpiLog(log);
    return read;
}

void SpiChipCommands::WriteStatusFromShadow()
{
    SpiLog log;
    const chipdb::SelectedChip& chip = session_.chip();
    session_.knownChip().forget();
    WriteStatusRegisters(*session_.adapter().Library, session_.document().StatusShadow, chip.StatusRegCount,
                         chip.ChipKind, log);
    session_.commands().spi().PrintSpiLog(log);
}

void SpiChipCommands::MmUnprotectClick()
{
    if (session_.commands().spi().UnprotectAndReport()) session_.commands().StartErase();
}
