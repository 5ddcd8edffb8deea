// The Edit and Buffer menus: undo, fill, swap bytes, find and the checksum command.
#include "app/Language.h"
#include "app/MainController.h"
#include "buffer/edit/EditCommands.h"
#include "worker/TransferBuffer.h"

#include <algorithm>

void MainController::FillBufClick(int value)
{
    if (value >= 0) {
        std::fill_n(TransferBuffer().begin(), chip.ChipSize, uint8_t(value));
        HexEditorUpdate(TransferBuffer(), chip.ChipSize, false, false);
    }
    status.bufferModified = true;
    RepaintStatusBar();
}

void MainController::MmSwapClick()
{
    const bool wasModified = status.bufferModified;
    SwapBytes(TransferBuffer(), chip.ChipSize);
    HexEditorUpdate(TransferBuffer(), chip.ChipSize, false, false);
    // Swapping twice gives back both the bytes and the mark.
    status.bufferModified = !wasModified;
    RepaintStatusBar();
}

void MainController::SBFindClick(const QString &text, int searchKind)
{
    const std::vector<uint8_t> pattern = searchKind == int(SearchKind::Hex)
                                             ? HexPattern(text.toStdString())
                                             : TextPattern(text.toStdU32String());
    if (pattern.empty() || chip.ChipSize == 0)
        return;
    if (view.findInEditor(pattern, chip.ChipSize - 1) < 0)
        view.showMessage(text + QString::fromUtf8(kNotFoundSuffix.data(), qsizetype(kNotFoundSuffix.size())));
}

void MainController::MmCheckSumClick()
{
    CheckSum();
}
