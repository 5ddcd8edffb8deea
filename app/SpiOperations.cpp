// 25xx SPI chips in the main window: the SPI paths of Read, Compare and Write, blank check,
// erase, identification and auto-select, status registers and unprotect.
#include "app/Captions.h"
#include "app/Language.h"
#include "app/MainController.h"
#include "chipdb/ChipKind.h"
#include "spi/SpiAutoSelect.h"
#include "spi/SpiIdentify.h"
#include "spi/SpiUnprotect.h"
#include "spi/SpiWorkers.h"

#include <QCoreApplication>

namespace {
// A worker holds the adapter for as long as it runs, even past the window's end.
WorkerBody HoldingLibrary(std::shared_ptr<Ch341Library> library, WorkerBody body)
{
    return [library = std::move(library), body = std::move(body)](const WorkerParams &p, WorkerContext &c) {
        body(p, c);
    };
}
} // namespace

void MainController::PrintSpiLog(const SpiLog &log)
{
    for (const LogLine &line : log)
        PrintLog(Lang(line.text), line.error ? LogColour::Red : LogColour::Navy);
}

bool MainController::ChipPresentOrReady()
{
    SpiLog log;
    const bool present = ChipPresent(*Library, chip.ChipKind, log);
    PrintSpiLog(log);
    if (!present)
        ActivateControls(Ready);
    return present;
}

void MainController::SPIReadCommand(const QString &startLine)
{
    if (!ChipPresentOrReady())
        return;
    ReadStatusIntoShadow();
    if (const auto lines = StatusRegisterLines(StatusShadow, chip.StatusRegCount))
        PrintLog(Lang(lines->text));
    PrintLog(startLine);
    SPIReadChip();
}

void MainController::SPICompareCommand(const QString &startLine)
{
    if (!ChipPresentOrReady())
        return;
    PrintLog(startLine);
    SPIReadChip();
}

void MainController::SPIWriteCommand(const QString &startLine)
{
    if (!ChipPresentOrReady())
        return;
    const chipdb::SpiProgramming programming = chipdb::spiProgrammingOf(chip.ChipKind);
    if (programming == chipdb::SpiProgramming::None) {
        // Without a programming method nothing would start and the controls would stay busy.
        PrintLog(Lang("This SPI chip kind has no programming method: ", "Для этого типа SPI чипа нет способа записи: ")
                     + QString::fromStdString(chip.ChipKind),
                 LogColour::Red);
        ActivateControls(Ready);
        return;
    }
    PrintLog(startLine);
    if (programming == chipdb::SpiProgramming::Page)
        SPIWriteChip();
    else
        SPIWriteSST();
}

void MainController::SPIReadChip()
{
    if (!SpiChipReadable(chip.ChipSize)) {
        PrintLog(Lang(spitext::ChipSizeZero), LogColour::Red);
        ActivateControls(Ready);
        return;
    }
    ActivateControls(Busy);
    view.setProgressMaximum(int(SpiReadSteps(chip.ChipSize)));
    view.setProgressPosition(0);
    status.checkSumText.clear();
    RepaintStatusBar();
    StartOperation(HoldingLibrary(Library, SpiReadWorker(*Library)), SpiReadParams(chip));
}

void MainController::SPIWriteChip()
{
    if (!SpiPageSizeUsable(chip.PageSize)) {
        view.showWarning(Lang(spitext::PageSizeZero), Lang(spitext::PageSizeZeroCaption));
        ActivateControls(Ready);
        return;
    }
    ActivateControls(Busy);
    view.setProgressMaximum(int(SpiPageSteps(chip.ChipSize, uint32_t(chip.PageSize))));
    view.setProgressPosition(0);
    if (!CopyEditorToTransferBuffer())
        return;
    StartOperation(HoldingLibrary(Library, SpiWriteWorker(*Library)), SpiWriteParams(chip));
}

void MainController::SPIWriteSST()
{
    ActivateControls(Busy);
    view.setProgressMaximum(int(SpiSstSteps(chip.ChipSize)));
    view.setProgressPosition(0);
    if (!CopyEditorToTransferBuffer())
        return;
    StartOperation(HoldingLibrary(Library, SpiSstWorker(*Library)), SpiSstParams(chip));
}

void MainController::MmCheckFFClick()
{
    BlankCheckMode = true;
    ActivateControls(Busy);
    PrintLog(Lang(spitext::CheckingForBlank) + CancelHintB());
    SPIReadChip();
}

void MainController::MmSpiEraseClick()
{
    ActivateControls(Busy);
    view.hideDifferences();
    if (!ChipPresentOrReady())
        return;
    if (!view.askYesNo(Lang(spitext::EraseConfirm), Lang(spitext::EraseConfirmCaption))) {
        ActivateControls(Ready);
        return;
    }
    SpiLog log;
    const EraseStatusCheck check = CheckStatusBeforeErase(*Library, chip.ChipName, chip.StatusRegCount, log);
    PrintSpiLog(log);
    if (!check.readOk
        || (check.warn && !view.askYesNo(Lang(spitext::EraseStatusWarning), Lang(spitext::EraseStatusWarningCaption)))) {
        ActivateControls(Ready);
        return;
    }
    StartErase();
}

void MainController::StartErase()
{
    ActivateControls(Busy);
    if (!StartOperation(HoldingLibrary(Library, SpiEraseWorker(*Library)), SpiEraseParams(chip)))
        return;
    view.setProgressMaximum(SpiEraseSteps);
    PrintLog(Lang(spitext::Erasing) + CancelHintB());
}

void MainController::SBIdClick()
{
    PrintSpiLog(SpiIdLines(*Library));
}

void MainController::UID1Click()
{
    PrintSpiLog({UniqueIdLine(*Library)});
}

void MainController::MmAutoSelClick()
{
    SpiLog log;
    const AutoSelectResult result = ReadChipId(*Library, ClientDataSet, ChipFilter, chip.ChipKind, log);
    PrintSpiLog(log);
    switch (result.outcome) {
    case AutoSelectResult::Outcome::OneMatch:
        ChooseChip(false);
        if (result.afterChoosing)
            PrintSpiLog({*result.afterChoosing});
        break;
    case AutoSelectResult::Outcome::Several:
        view.showChipList();
        break;
    default:
        break;
    }
}

StatusReadResult MainController::ReadStatusIntoShadow()
{
    SpiLog log;
    const StatusReadResult read = ReadStatusRegisters(*Library, chip.StatusRegCount, log);
    ApplyStatusRead(StatusShadow, read);
    PrintSpiLog(log);
    return read;
}

void MainController::WriteStatusFromShadow()
{
    SpiLog log;
    WriteStatusRegisters(*Library, StatusShadow, chip.StatusRegCount, chip.ChipKind, log);
    PrintSpiLog(log);
}

void MainController::MmRdStatRegClick()
{
    view.showStatusRegisters();
    ReadStatusIntoShadow();
}

void MainController::MmWrStatRegClick()
{
    view.showStatusRegisters();
    WriteStatusFromShadow();
}

void MainController::MmUnprotectClick()
{
    SpiLog log;
    const bool eraseFollows = Unprotect(*Library, chip.ChipName, log);
    PrintSpiLog(log);
    if (eraseFollows)
        StartErase();
}
