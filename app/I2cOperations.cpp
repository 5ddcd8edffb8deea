// Reading, comparing and writing 24xx chips: the stream path through a worker (ACK checking on)
// and the fast path on the window's own thread (ACK checking off).
#include "app/ElapsedText.h"
#include "app/Language.h"
#include "app/MainController.h"
#include "app/QtMessageSink.h"
#include "i2c/I2cTexts.h"
#include "i2c/IICCommands.h"
#include "i2c/IICFastPath.h"
#include "i2c/IICReadThread.h"
#include "i2c/IICWriteThread.h"
#include "worker/TransferBuffer.h"

#include <QCoreApplication>
#include <algorithm>

namespace {
QString SecondsText(float seconds)
{
    return FormatSeconds(seconds) + QString::fromLatin1(SecondsSuffix.data(), qsizetype(SecondsSuffix.size()));
}
} // namespace

void MainController::IICReadChip()
{
    view.setProgressMaximum(int(IICReadSteps(chip.ChipSize)));
    view.setProgressPosition(0);
    status.checkSumText.clear();
    RepaintStatusBar();

    if (!current.ackCheck) {
        IICFastReadChip();
        return;
    }
    auto params = MakeIICReadParams(chip, TransferBuffer());
    if (!params) {
        PrintLog(Lang("The chip is larger than the buffer; nothing was read.",
                      "Чип больше буфера, чтение не выполнено."),
                 LogColour::Red);
        ActivateControls(Ready);
        return;
    }
    auto block = std::make_shared<WorkerParams>(*params);
    StartOperation([library = Library](const WorkerParams &p, WorkerContext &c) { IICReadThread(*library, p, c); },
                   std::move(block));
}

void MainController::IICFastReadChip()
{
    PrintLog(Lang(CompareMode ? FastComparingText : FastReadingText));
    QCoreApplication::processEvents();
    const std::optional<float> seconds =
        IICFastRead(*Library, EepromTypeOf(chip), chip.ChipSize, TransferBuffer());
    if (seconds)
        PrintLog(Lang(CompareMode ? FastComparingDoneText : FastReadingDoneText) + SecondsText(*seconds));
    HexEditorUpdate(TransferBuffer(), chip.ChipSize, false, CompareMode);
    SetPBarPos(ProgressReset);
    CheckSum();
    ActivateControls(Ready);
}

void MainController::IICWriteChip()
{
    if (!IICPageSizeUsable(chip.PageSize)) {
        view.showWarning(QStringLiteral("PageSize = 0"), QStringLiteral("Ошибка!"));
        ActivateControls(Ready);
        return;
    }
    view.setProgressMaximum(int(IICWriteSteps(chip.ChipSize, chip.PageSize)));
    view.setProgressPosition(0);
    RepaintStatusBar();
    if (!CopyEditorToTransferBuffer())
        return;

    if (!current.ackCheck) {
        IICFastWriteChip();
        return;
    }
    auto params = MakeIICWriteParams(chip, TransferBuffer());
    if (!params) {
        PrintLog(Lang("The chip is larger than the buffer; nothing was written.",
                      "Чип больше буфера, запись не выполнена."),
                 LogColour::Red);
        ActivateControls(Ready);
        return;
    }
    auto block = std::make_shared<WorkerParams>(*params);
    StartOperation([library = Library](const WorkerParams &p, WorkerContext &c) { IICWriteThread(*library, p, c); },
                   std::move(block));
}

void MainController::IICFastWriteChip()
{
    PrintLog(Lang(FastWritingText));
    QCoreApplication::processEvents();
    const std::optional<float> seconds = IICFastWrite(*Library, EepromTypeOf(chip), chip.ChipSize, TransferBuffer());
    PrintLog(Lang(FastWritingDoneText) + SecondsText(seconds.value_or(0)));
    if (PendingCompare) {
        MmCompareClick();
        PendingCompare = false;
    }
    ActivateControls(Ready);
}

bool MainController::CopyEditorToTransferBuffer()
{
    const std::span<const uint8_t> image = view.editorBytes();
    if (image.size() < chip.ChipSize) {
        // Past what the editor holds the TransferBuffer has stale bytes: never write them out.
        PrintLog(Lang("The buffer holds fewer bytes than the chip; nothing was done.",
                      "В буфере меньше байтов, чем в чипе; ничего не сделано."),
                 LogColour::Red);
        ActivateControls(Ready);
        return false;
    }
    std::copy_n(image.begin(), chip.ChipSize, TransferBuffer().begin());
    return true;
}
