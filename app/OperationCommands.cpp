// The Read, Write and Compare commands: reset what the previous operation left, enter the busy
// state, and hand over to the 24xx or the 25xx side by the chip's kind.
#include "app/Captions.h"
#include "app/Language.h"
#include "app/MainController.h"
#include "i2c/I2cTexts.h"

namespace {
enum class Command { Read, Write, Compare };
} // namespace

void MainController::StartCommand(int command)
{
    const auto which = Command(command);
    CompareMode = which == Command::Compare;
    if (which != Command::Write)
        BlankCheckMode = false;
    const TextPair &start = which == Command::Read    ? ReadingStartText
                            : which == Command::Write ? WritingStartText
                                                      : ComparingStartText;
    const QString startLine = Lang(start) + CancelHintA();
    ActivateControls(Busy);
    view.hideDifferences();
    if (which == Command::Compare)
        diffs.Clear();

    if (KindContains("ID_SPI")) {
        if (which == Command::Read)
            SPIReadCommand(startLine);
        else if (which == Command::Compare)
            SPICompareCommand(startLine);
        else
            SPIWriteCommand(startLine);
    } else if (KindContains("ID_24C")) {
        if (current.ackCheck)
            PrintLog(startLine);
        if (which == Command::Write)
            IICWriteChip();
        else
            IICReadChip();
    } else {
        // A kind that leads nowhere: nothing can start, so the controls come back at once.
        PrintLog(Lang("The selected chip's kind is unknown; nothing to do: ",
                      "Тип выбранного чипа неизвестен, операция не выполняется: ")
                     + QString::fromStdString(chip.ChipKind),
                 LogColour::Red);
        ActivateControls(Ready);
    }
}

void MainController::MmReadClick()
{
    StartCommand(int(Command::Read));
}

void MainController::MmWriteClick()
{
    StartCommand(int(Command::Write));
}

void MainController::MmCompareClick()
{
    StartCommand(int(Command::Compare));
}

void MainController::CompareViewClosed()
{
    diffs.Clear();
}

void MainController::HexEditorChange(bool modified)
{
    status.bufferModified = modified;
    RepaintStatusBar();
}

void MainController::HexEditorSelectionChanged(const QString &offsetText)
{
    status.offsetText = offsetText;
    RepaintStatusBar();
}
