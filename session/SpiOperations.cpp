#include "session/SpiOperations.h"

#include "chipdb/ChipKind.h"
#include "session/Language.h"
#include "session/Session.h"
#include "spi/SpiIdentify.h"
#include "spi/SpiStatus.h"
#include "spi/SpiWorkers.h"

void SpiOperations::PrintSpiLog(const SpiLog &log)
{
    for (const LogLine &line : log)
        if (line.error)
            session_.fail(Outcome::IoFailure, Lang(line.text));
        else
            session_.PrintLog(Lang(line.text));
}

bool SpiOperations::ChipPresentOrReady()
{
    SpiLog log;
    const bool present = ChipPresent(*session_.adapter().Library, session_.chip().ChipKind, log);
    if (present) {
        PrintSpiLog(log);
        return true;
    }
    session_.noteOutcome(Outcome::NoDevice);
    PrintSpiLog(log);
    session_.ActivateControls(Ready);
    return false;
}

bool SpiOperations::WakeAndCheckStatus()
{
    Ch341Library &library = *session_.adapter().Library;
    SpiLog log;
    GetSpiId(library, log); // wakes the chip; the answer is not looked at
    PrintSpiLog(log);
    SpiLog readLog;
    if (ReadStatusRegisters(library, 1, readLog).failed) {
        session_.fail(Outcome::IoFailure, Lang("Status register reading error!", "Ошибка чтения регистра статуса!"));
        return false;
    }
    return true;
}

void SpiOperations::SPIReadCommand(const QString &startLine)
{
    if (!ChipPresentOrReady())
        return;
    session_.spi().ReadStatusIntoShadow();
    const chipdb::SelectedChip &chip = session_.chip();
    if (const auto lines = StatusRegisterLines(session_.document().StatusShadow, chip.StatusRegCount))
        session_.PrintLog(Lang(lines->text));
    session_.PrintLog(startLine);
    SPIReadChip();
}

void SpiOperations::SPICompareCommand(const QString &startLine)
{
    if (!ChipPresentOrReady())
        return;
    session_.PrintLog(startLine);
    SPIReadChip();
}

void SpiOperations::SPIWriteCommand(const QString &startLine)
{
    if (!ChipPresentOrReady())
        return;
    const chipdb::SelectedChip &chip = session_.chip();
    const chipdb::SpiProgramming programming = chipdb::spiProgrammingOf(chip.ChipKind);
    if (programming == chipdb::SpiProgramming::None) {
        // Without a programming method nothing would start and the controls would stay busy.
        session_.fail(Outcome::BadInput,
                      Lang("This SPI chip kind has no programming method: ", "Для этого типа SPI чипа нет способа записи: ")
                          + QString::fromStdString(chip.ChipKind));
        session_.ActivateControls(Ready);
        return;
    }
    session_.PrintLog(startLine);
    if (programming == chipdb::SpiProgramming::Page)
        SPIWriteChip();
    else
        SPIWriteSST();
}

void SpiOperations::SPIReadChip()
{
    const chipdb::SelectedChip &chip = session_.chip();
    if (!SpiChipReadable(chip.ChipSize)) {
        session_.fail(Outcome::BadInput, Lang(spitext::ChipSizeZero));
        session_.ActivateControls(Ready);
        return;
    }
    session_.ActivateControls(Busy);
    session_.runner().setProgressMaximum(int(SpiReadSteps(chip.ChipSize)));
    session_.runner().setProgressPosition(0);
    session_.checkSumText.clear();
    session_.statusChanged();
    Ch341Library &library = *session_.adapter().Library;
    session_.startWorker(SpiReadWorker(library), SpiReadParams(chip, session_.document().transfer()));
}

void SpiOperations::SPIWriteChip()
{
    const chipdb::SelectedChip &chip = session_.chip();
    if (!SpiPageSizeUsable(chip.PageSize)) {
        session_.noteOutcome(Outcome::BadInput);
        session_.events().warn(Lang(spitext::PageSizeZero), Lang(spitext::PageSizeZeroCaption));
        session_.ActivateControls(Ready);
        return;
    }
    session_.ActivateControls(Busy);
    session_.runner().setProgressMaximum(int(SpiPageSteps(chip.ChipSize, uint32_t(chip.PageSize))));
    session_.runner().setProgressPosition(0);
    if (!session_.files().CopyEditorToTransferBuffer())
        return;
    Ch341Library &library = *session_.adapter().Library;
    session_.startWorker(SpiWriteWorker(library), SpiWriteParams(chip, session_.document().transfer()));
}

void SpiOperations::SPIWriteSST()
{
    const chipdb::SelectedChip &chip = session_.chip();
    session_.ActivateControls(Busy);
    session_.runner().setProgressMaximum(int(SpiSstSteps(chip.ChipSize)));
    session_.runner().setProgressPosition(0);
    if (!session_.files().CopyEditorToTransferBuffer())
        return;
    Ch341Library &library = *session_.adapter().Library;
    session_.startWorker(SpiSstWorker(library), SpiSstParams(chip, session_.document().transfer()));
}

bool SpiOperations::StartEraseWorker()
{
    return session_.startWorker(SpiEraseWorker(*session_.adapter().Library), SpiEraseParams(session_.chip()));
}
