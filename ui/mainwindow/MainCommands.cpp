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
    auto on = [this](ComponentName name, auto handler) {
        connect(qobject_cast<QAction*>(component(name)), &QAction::triggered, this, handler);
    };
    for (ComponentName speed : component::SpeedItems) {
        auto* item = qobject_cast<QAction*>(component(speed));
        connect(item, &QAction::triggered, this, [this, item] { control.Mm_SPEED_LOWClick(item->data().toInt()); });
    }
    on(component::MmAck, [this] { control.MmAckClick(); });
    on(component::MmVerify, [this] { control.MmVerifyClick(); });
    on(component::MmDirectory, [this] { control.MmDirectoryClick(); });
    for (ComponentName name : {component::MmOpenDir, component::OpenDir})
        on(name, [this] { control.MmOpenDirClick(); });
    on(component::SBCalc, [this] { control.SBCalcClick(); });
    on(component::ScRun, [this] { control.ScRunClick(); });
    for (ComponentName format : {component::MmBin, component::MmBrg}) {
        auto* item = qobject_cast<QAction*>(component(format));
        connect(item, &QAction::triggered, this, [this, item] { control.MmBinClick(item->data().toInt()); });
    }
    on(component::SBStop, [this] { control.SBStopClick(); });
    on(component::SBAbout, [this] {
        if (compareView->isVisible()) compareView->BitBtnClick();
        OpenAboutBox(this, control, *updates);
    });
    on(component::MmChipSelect2, [this] { MmChipSelect2Click(); });
    on(component::MmSpiErase, [this] { control.MmSpiEraseClick(); });
    on(component::MmCheckFF, [this] { control.MmCheckFFClick(); });
    on(component::MmReadId, [this] { control.SBIdClick(); });
    on(component::UID1, [this] { control.UID1Click(); });
    for (ComponentName name : {component::MmAutoSel, component::SPI1}) on(name, [this] { control.MmAutoSelClick(); });
    on(component::SBStatRegs, [this] { showStatusRegisters(); });
    on(component::MmRdStatReg, [this] { control.MmRdStatRegClick(); });
    on(component::MmWrStatReg, [this] { control.MmWrStatRegClick(); });
    on(component::MmUnprotect, [this] { control.MmUnprotectClick(); });
    on(component::MmRead, [this] { control.MmReadClick(); });
    on(component::MmWrite, [this] { control.MmWriteClick(); });
    on(component::MmSmartWrite, [this] { control.MmSmartWriteClick(); });
    on(component::MmCompare, [this] { control.MmCompareClick(); });

    on(component::MmFopen, [this] { control.ActOpenExecute(); });
    on(component::MmFsave, [this] { control.ActSaveExecute(); });
    connect(qobject_cast<QMenu*>(component(component::mFile)), &QMenu::aboutToShow, this,
            [this] { control.mFileClick(); });
    for (int i = 1; i <= component::RecentFileCount; ++i)
        on(component::RecentFile(i), [this, i] { control.Hist1Click(i - 1); });
    on(component::MmFillBufer, [this] { hexView->showFillBox(); });
    connect(hexView, &HexView::fillRequested, this, [this](int value) { control.FillBufClick(value); });
    on(component::MmSwap, [this] { control.MmSwapClick(); });
    on(component::MmCheckSum, [this] { control.MmCheckSumClick(); });
    on(component::MmUndo, [this] { hexView->undo(); }); // ActUndoExecute
    // Ctrl+C and Ctrl+V belong to the hex view while it has the focus; the log keeps its own Ctrl+C.
    for (const auto& [name, keys] :
         {std::pair{component::MmCopy, QKeySequence::Copy}, {component::MmPaste, QKeySequence::Paste}}) {
        auto* item = qobject_cast<QAction*>(component(name));
        item->setShortcut(keys);
        item->setShortcutContext(Qt::WidgetShortcut);
        hexView->addAction(item);
    }
    on(component::MmCopy, [this] { hexView->copy(); });
    on(component::MmPaste, [this] { hexView->paste(); });
    connect(hexView, &HexView::filesDropped, this, [this](const QStringList& paths) { control.DropFiles(paths); });
    connectSearch();

    connect(hexView, &HexView::changed, this, [this] {
        control.HexEditorChange(hexView->isModified());
        qobject_cast<QAction*>(component(component::MmUndo))->setEnabled(hexView->canUndo()); // ActUndoUpdate
    });
    // The offset panel shows the cursor's offset from the start; a load changes its width.
    auto showOffset = [this] { control.HexEditorSelectionChanged(hexView->offsetText(hexView->caretOffset())); };
    connect(hexView, &HexView::selectionChanged, this, showOffset);
    connect(hexView, &HexView::changed, this, showOffset);
    showOffset();

    compareView->setByteReaders(
        [this](uint32_t address) -> std::optional<uint8_t> {
            if (address >= hexView->size()) return std::nullopt;
            return hexView->bytes()[address];
        },
        [this](uint32_t address) -> std::optional<uint8_t> {
            const std::span<const uint8_t> chip = control.session().document().transfer();
            if (address >= chip.size()) return std::nullopt;
            return chip[address];
        });
    connect(compareView, &CompareView::addressSelected, this,
            [this](uint32_t address) { hexView->setSelection(address, address); });
    connect(compareView, &CompareView::closed, this, [this] { control.CompareViewClosed(); });
    connect(hexView, &HexView::changed, compareView, &CompareView::refreshBufferColumn);
}
