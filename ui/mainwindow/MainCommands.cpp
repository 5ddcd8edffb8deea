// Wiring of TFMain's menu items, buttons and views to the controller's handlers.
#include "ui/compareview/CompareView.h"
#include "ui/hexview/HexView.h"
#include "ui/mainwindow/TFMain.h"

#include "ui/about/OpenAboutBox.h"
#include "ui/hexview/HexFillBox.h"

#include <QAction>
#include <QMenu>

void TFMain::connectCommands()
{
    auto on = [this](const char *name, auto handler) {
        connect(qobject_cast<QAction *>(component(name)), &QAction::triggered, this, handler);
    };
    for (const char *speed : {"Mm_SPEED_LOW", "Mm_SPEED_NORMAL", "Mm_SPEED_FAST", "Mm_SPEED_HIGH"}) {
        auto *item = qobject_cast<QAction *>(component(speed));
        connect(item, &QAction::triggered, this, [this, item] { control.Mm_SPEED_LOWClick(item->data().toInt()); });
    }
    on("MmAck", [this] { control.MmAckClick(); });
    on("MmVerify", [this] { control.MmVerifyClick(); });
    on("MmDirectory", [this] { control.MmDirectoryClick(); });
    for (const char *name : {"MmOpenDir", "OpenDir"})
        on(name, [this] { control.MmOpenDirClick(); });
    on("SBCalc", [this] { control.SBCalcClick(); });
    for (const char *name : {"ScRun", "SBScen"})
        on(name, [this] { control.ScRunClick(); });
    for (const char *item : {"ScErase", "ScCheckFF", "ScWrite", "ScCompare"})
        on(item, [this, item] { control.ScEraseClick(item); });
    for (const char *format : {"MmBin", "MmBrg"}) {
        auto *item = qobject_cast<QAction *>(component(format));
        connect(item, &QAction::triggered, this, [this, item] { control.MmBinClick(item->data().toInt()); });
    }
    on("SBStop", [this] { control.SBStopClick(); });
    on("SBAbout", [this] {
        if (compareView->isVisible())
            compareView->BitBtnClick();
        OpenAboutBox(this, control);
    });
    on("MmChipSelect2", [this] { MmChipSelect2Click(); });
    on("SBChip", [this] { MmChipSelect2Click(); });
    for (const char *name : {"MmSpiErase", "SBErase"})
        on(name, [this] { control.MmSpiEraseClick(); });
    on("MmCheckFF", [this] { control.MmCheckFFClick(); });
    for (const char *name : {"MmReadId", "SBId"})
        on(name, [this] { control.SBIdClick(); });
    on("UID1", [this] { control.UID1Click(); });
    for (const char *name : {"MmAutoSel", "SPI1"})
        on(name, [this] { control.MmAutoSelClick(); });
    on("SBStatRegs", [this] { showStatusRegisters(); });
    on("MmRdStatReg", [this] { control.MmRdStatRegClick(); });
    on("MmWrStatReg", [this] { control.MmWrStatRegClick(); });
    on("MmUnprotect", [this] { control.MmUnprotectClick(); });
    for (const char *name : {"MmRead", "SBRead"})
        on(name, [this] { control.MmReadClick(); });
    for (const char *name : {"MmWrite", "SBWrite"})
        on(name, [this] { control.MmWriteClick(); });
    on("MmSmartWrite", [this] { control.MmSmartWriteClick(); });
    for (const char *name : {"MmCompare", "SBCompare"})
        on(name, [this] { control.MmCompareClick(); });

    for (const char *name : {"MmFopen", "SBOpen"})
        on(name, [this] { control.ActOpenExecute(); });
    for (const char *name : {"MmFsave", "SBSave"})
        on(name, [this] { control.ActSaveExecute(); });
    connect(qobject_cast<QMenu *>(component("mFile")), &QMenu::aboutToShow, this, [this] { control.mFileClick(); });
    for (int i = 1; i <= 10; ++i) {
        const QByteArray name = "Hist" + QByteArray::number(i);
        on(name.constData(), [this, i] { control.Hist1Click(i - 1); });
    }
    for (const char *name : {"MmFillBufer", "SBFill"})
        on(name, [this] { hexView->showFillBox(); });
    connect(hexView, &HexView::fillRequested, this, [this](int value) { control.FillBufClick(value); });
    for (const char *name : {"MmSwap", "SBSwap"})
        on(name, [this] { control.MmSwapClick(); });
    for (const char *name : {"MmCheckSum", "SBCheckSum"})
        on(name, [this] { control.MmCheckSumClick(); });
    for (const char *name : {"MmUndo", "SBUndo"})
        on(name, [this] { hexView->undo(); }); // ActUndoExecute
    // Ctrl+C and Ctrl+V belong to the hex view while it has the focus; the log keeps its own Ctrl+C.
    for (const auto &[name, keys] : {std::pair{"MmCopy", QKeySequence::Copy}, {"MmPaste", QKeySequence::Paste}}) {
        auto *item = qobject_cast<QAction *>(component(name));
        item->setShortcut(keys);
        item->setShortcutContext(Qt::WidgetShortcut);
        hexView->addAction(item);
    }
    on("MmCopy", [this] { hexView->copy(); });
    on("MmPaste", [this] { hexView->paste(); });
    connect(hexView, &HexView::filesDropped, this, [this](const QStringList &paths) { control.DropFiles(paths); });
    connectSearch();

    connect(hexView, &HexView::changed, this, [this] {
        control.HexEditorChange(hexView->isModified());
        for (const char *name : {"MmUndo", "SBUndo"}) // ActUndoUpdate
            qobject_cast<QAction *>(component(name))->setEnabled(hexView->canUndo());
    });
    // The offset panel shows the cursor's offset from the start; a load changes its width.
    auto showOffset = [this] { control.HexEditorSelectionChanged(hexView->offsetText(hexView->caretOffset())); };
    connect(hexView, &HexView::selectionChanged, this, showOffset);
    connect(hexView, &HexView::changed, this, showOffset);
    showOffset();

    compareView->setByteReaders(
        [this](uint32_t address) -> std::optional<uint8_t> {
            if (address >= hexView->size())
                return std::nullopt;
            return hexView->bytes()[address];
        },
        [this](uint32_t address) -> std::optional<uint8_t> {
            const std::span<const uint8_t> chip = control.session().document().transfer();
            if (address >= chip.size())
                return std::nullopt;
            return chip[address];
        });
    connect(compareView, &CompareView::addressSelected, this,
            [this](uint32_t address) { hexView->setSelection(address, address); });
    connect(compareView, &CompareView::closed, this, [this] { control.CompareViewClosed(); });
    connect(hexView, &HexView::changed, compareView, &CompareView::refreshBufferColumn);
}
