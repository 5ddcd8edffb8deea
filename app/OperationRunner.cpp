// The operation runner of the main window: starting a worker, its progress and completion
// messages, the hand-over of the chip image to the editor, compare view or blank check, the
// automatic dump file, and cancelling.
#include "app/DumpFileName.h"
#include "app/ElapsedText.h"
#include "app/Language.h"
#include "app/MainController.h"
#include "app/QtMessageSink.h"
#include "buffer/CheckSum.h"
#include "worker/TransferBuffer.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <bit>
#include <vector>

namespace {
constexpr int EraseTickPauseMs = 100;
constexpr int EraseBarLength = 100;
constexpr int EscapeKey = 27;
} // namespace

bool MainController::event(QEvent *event)
{
    if (event->type() == QEvent::Type(WM_OP_PROGRESS) || event->type() == QEvent::Type(WM_OP_FAULT)) {
        const OpMessage &m = static_cast<OpEvent *>(event)->message;
        if (m.message == WM_OP_PROGRESS)
            WMOpProgress(m.wParam, m.lParam);
        else
            WMOpFault(m.lParam);
        return true;
    }
    return QObject::event(event);
}

bool MainController::StartOperation(WorkerBody body, std::shared_ptr<WorkerParams> params)
{
    std::shared_ptr<WorkerQueue> queue = StartWorker(std::move(body), std::move(params), sink);
    if (!queue) {
        // Without a worker nothing would ever end the busy state.
        PrintLog(QStringLiteral("Ошибка CreateThread"), LogColour::Red);
        ActivateControls(Ready);
        return false;
    }
    lastWorker = std::move(queue);
    return true;
}

void MainController::SetPBarPos(int code)
{
    if (code == ProgressReset) {
        view.setProgressPosition(0);
    } else if (code == ProgressStep) {
        view.setProgressPosition(view.progressPosition() + 1);
    } else if (code == ProgressEraseTick) {
        view.setProgressPosition(view.progressPosition() + 1);
        // The pause paces the erase worker's polling; the window keeps handling events meanwhile.
        QEventLoop pause;
        QTimer::singleShot(EraseTickPauseMs, &pause, &QEventLoop::quit);
        pause.exec();
        if (view.progressPosition() > EraseBarLength)
            view.setProgressPosition(0);
    }
    QCoreApplication::processEvents();
}

void MainController::WMOpProgress(uint32_t wParam, int32_t lParam)
{
    if (lParam >= 0) {
        SetPBarPos(lParam);
        return;
    }
    const float seconds = std::bit_cast<float>(wParam);
    switch (lParam) {
    case ReadFinished:
        ReadFinishedStep(seconds);
        break;
    case WriteFinished:
        WriteFinishedStep(seconds);
        break;
    case ReadCancelled:
        PrintLog(BlankCheckMode ? Lang("Blank check terminated by user", "Проверка прервана пользователем")
                                : Lang("Reading terminated by user", "Считывание прервано пользователем"));
        ActivateControls(Ready);
        break;
    case WriteCancelled:
        PrintLog(Lang("Writing terminated by user", "Программирование прервано пользователем"));
        ActivateControls(Ready);
        break;
    case EraseFinished:
        EraseFinishedStep();
        break;
    case EraseCancelled:
        PrintLog(Lang("Erasing terminated by user.", "Стирание прервано пользователем."));
        ActivateControls(Ready);
        break;
    default:
        break;
    }
    CompletionTail();
}

void MainController::ReadFinishedStep(float seconds)
{
    QString text;
    if (BlankCheckMode) {
        text = Lang("Blank check completed,\nchecking time ", "Проверка завершена,\nвремя проверки ");
        PendingBlankCheck = false;
    } else if (CompareMode) {
        text = Lang("Comparing completed,\ncompare time ", "Сравнение завершено,\nвремя сравнеия ");
        PendingCompare = false;
    } else {
        text = Lang("Reading completed,\nreading time ", "Считывание завершено,\nвремя считывания ");
    }
    PrintLog(text + FormatSeconds(seconds) + QStringLiteral(" sec."));
    HexEditorUpdate(TransferBuffer(), chip.ChipSize, BlankCheckMode, CompareMode);
    CheckSum();
    if (!CompareMode && !BlankCheckMode)
        SaveAutomaticDump();
}

void MainController::WriteFinishedStep(float seconds)
{
    PrintLog(Lang("Writing completed,\nWriting time ", "Программирование завершено,\nВремя программирования ")
             + FormatSeconds(seconds) + QStringLiteral(" sec."));
    if (PendingCompare)
        MmCompareClick();
    PendingWrite = false;
}

void MainController::EraseFinishedStep()
{
    PrintLog(Lang("Erasing completed.", "Стирание завершено."));
    PendingErase = false;
    if (PendingBlankCheck && KindContains("ID_SPI"))
        MmCheckFFClick();
    else if (PendingWrite)
        MmWriteClick();
    else if (PendingCompare)
        MmCompareClick();
}

void MainController::CompletionTail()
{
    SetPBarPos(ProgressReset);
    RepaintStatusBar();
    if (KindContains("ID_SPI")) {
        if (!PendingErase && !PendingBlankCheck && !PendingWrite && !PendingCompare)
            ActivateControls(Ready);
    } else if (KindContains("ID_24C")) {
        if (!PendingWrite && !PendingCompare)
            ActivateControls(Ready);
    }
}

void MainController::WMOpFault(int32_t lParam)
{
    if (lParam < 0)
        PrintLog(Lang("Erase error", "Ошибка стирания"), LogColour::Red);
    else
        PrintLog(Lang("Error in block", "Ошибка в блоке"), LogColour::Red, lParam);
    ActivateControls(Ready);
}

void MainController::HexEditorUpdate(std::span<const uint8_t> buffer, uint32_t count, bool blankCheck, bool compare)
{
    const std::span<const uint8_t> data = buffer.first(std::min<std::size_t>(count, buffer.size()));
    if (blankCheck) {
        const auto notBlank = std::find_if(data.begin(), data.end(), [](uint8_t b) { return b != 0xFF; });
        if (notBlank != data.end())
            PrintLog(Lang("Blank check error at the address:", "Ошибка проверки по адресу:"), LogColour::Red,
                     notBlank - data.begin());
        if (PendingWrite)
            MmWriteClick();
        else if (PendingCompare)
            MmCompareClick();
        return;
    }
    if (compare) {
        view.hideDifferences();
        diffs.Build(view.editorBytes(), data);
        if (!diffs.empty())
            view.showDifferences(diffs);
        PrintLog(Lang("Differences ", "Несовпадений ") + QString::number(diffs.size()));
        return;
    }
    // With the BRG format an SPI chip's buffer carries its three status registers after the data.
    if (current.autosaveFormat == 1 && KindContains("ID_SPI")) {
        std::vector<uint8_t> withRegisters(data.begin(), data.end());
        withRegisters.insert(withRegisters.end(), StatusShadow.SR.begin(), StatusShadow.SR.end());
        view.loadEditor(withRegisters);
    } else {
        view.loadEditor(data);
    }
}

void MainController::CheckSum()
{
    status.checkSumText.clear();
    RepaintStatusBar();
    const std::span<const uint8_t> bytes = view.editorBytes();
    const CheckSumResult result =
        ::CheckSum(bytes.first(std::min<std::size_t>(chip.ChipSize, bytes.size())), CompareMode, BlankCheckMode);
    if (!result.text.empty()) {
        status.checkSumText = QString::fromStdString(result.text);
        PrintLog(status.checkSumText);
    }
    RepaintStatusBar();
}

void MainController::SaveAutomaticDump()
{
    const QString extension = current.autosaveFormat == 1 ? QStringLiteral(".BRG") : QStringLiteral(".BIN");
    const QString path = AutoDumpPath(current.dumpDir, QString::fromStdString(chip.ChipName), extension);
    QString error;
    if (!view.saveEditor(path, &error))
        PrintLog(Lang("Cannot save the dump file ", "Не удалось сохранить файл дампа ") + path + QStringLiteral(": ")
                     + error,
                 LogColour::Red);
}

void MainController::SBStopClick()
{
    if (lastWorker)
        lastWorker->post(WM_OP_CANCEL);
}

void MainController::FormKeyUp(int key)
{
    if (key == EscapeKey)
        SBStopClick();
}

bool MainController::KindContains(const char *text) const
{
    return chip.ChipKind.find(text) != std::string::npos;
}
