#include "session/OperationCompletion.h"

#include "buffer/CheckSum.h"
#include "session/DumpFileName.h"
#include "session/ElapsedText.h"
#include "session/Language.h"
#include "session/Session.h"
#include "spi/SpiWorkers.h"

#include <algorithm>

namespace {
using Work = OperationRunner::Work;

// The first address below `count` that does not hold FF, or -1.
int64_t FirstNotBlank(std::span<const uint8_t> data)
{
    const auto notBlank = std::find_if(data.begin(), data.end(), [](uint8_t b) { return b != 0xFF; });
    return notBlank == data.end() ? -1 : notBlank - data.begin();
}
} // namespace

void OperationCompletion::WMOpProgress(int32_t code, float seconds)
{
    OperationRunner& runner = session_.runner();
    runner.workerEnded();
    const Work work = std::exchange(runner.work, Work::Plain);
    switch (code) {
    case ReadFinished:
        // The whole chip was just read: what it holds is known until something may change it. (A
        // read leaves a tail below one chunk unread: such a chip is never known.)
        if (const uint32_t size = session_.chip().ChipSize; session_.isSpiChip() && size % SpiReadChunk(size) == 0)
            session_.knownChip().remember(session_.chip(), session_.adapter().Library,
                                          session_.document().transfer().first(size));
        if (work == Work::Verify)
            VerifyFinishedStep(seconds);
        else if (work == Work::EraseCheck)
            EraseCheckFinishedStep();
        else
            ReadFinishedStep(seconds);
        break;
    case WriteFinished:
        if (work == Work::SmartWrite)
            session_.commands().spi().SmartWriteFinished(seconds);
        else if (work == Work::EraseByWriting)
            EraseFinishedStep();
        else
            WriteFinishedStep(seconds);
        break;
    case ReadCancelled:
        session_.noteOutcome(Outcome::Cancelled);
        if (work == Work::Verify)
            session_.PrintLog(Localized("Verifying terminated by user: the chip was written but not checked",
                                        "Проверка прервана пользователем: чип записан, но не проверен"));
        else if (work == Work::EraseCheck)
            session_.PrintLog(Localized("Blank check terminated by user: the chip was erased but not checked",
                                        "Проверка прервана пользователем: чип стёрт, но не проверен"));
        else
            session_.PrintLog(runner.BlankCheckMode
                                  ? Localized("Blank check terminated by user", "Проверка прервана пользователем")
                                  : Localized("Reading terminated by user", "Считывание прервано пользователем"));
        session_.ActivateControls(Ready);
        break;
    case WriteCancelled:
        session_.noteOutcome(Outcome::Cancelled);
        if (work == Work::SmartWrite && session_.commands().spi().SmartWriteReadingBack())
            session_.PrintLog(Localized("Verifying terminated by user: the chip was written but not checked",
                                        "Проверка прервана пользователем: чип записан, но не проверен"));
        else
            session_.PrintLog(work == Work::EraseByWriting
                                  ? Localized("Erasing terminated by user.", "Стирание прервано пользователем.")
                                  : Localized("Writing terminated by user", "Программирование прервано пользователем"));
        session_.ActivateControls(Ready);
        break;
    case EraseFinished: EraseFinishedStep(); break;
    case EraseCancelled:
        session_.noteOutcome(Outcome::Cancelled);
        session_.PrintLog(Localized("Erasing terminated by user.", "Стирание прервано пользователем."));
        session_.ActivateControls(Ready);
        break;
    default: break;
    }
    CompletionTail();
}

void OperationCompletion::ReadFinishedStep(float seconds)
{
    OperationRunner& runner = session_.runner();
    QString text;
    if (runner.BlankCheckMode) {
        text = Localized("Blank check completed,\nchecking time ", "Проверка завершена,\nвремя проверки ");
        session_.script().finished(Script::Step::BlankCheck);
    } else if (runner.CompareMode) {
        text = Localized("Comparing completed,\ncompare time ", "Сравнение завершено,\nвремя сравнеия ");
        session_.script().finished(Script::Step::Compare);
    } else {
        text = Localized("Reading completed,\nreading time ", "Считывание завершено,\nвремя считывания ");
    }
    session_.PrintLog(text + FormatSeconds(seconds) + QStringLiteral(" sec."));
    HexEditorUpdate(session_.document().transfer(), session_.chip().ChipSize, runner.BlankCheckMode,
                    runner.CompareMode);
    CheckSum();
    if (runner.CompareMode || runner.BlankCheckMode) return;
    if (session_.isI2cChip()) session_.commands().i2c().ReportMirroredHalves();
    if (session_.automaticDumps) SaveAutomaticDump();
}

void OperationCompletion::WriteFinishedStep(float seconds)
{
    if (session_.settings().verify) {
        session_.runner().writeSeconds = seconds;
        session_.commands().StartVerify();
        return;
    }
    WriteCompleted(seconds);
}

void OperationCompletion::WriteCompleted(float seconds)
{
    session_.PrintLog(
        Localized("Writing completed,\nWriting time ", "Программирование завершено,\nВремя программирования ") +
        FormatSeconds(seconds) + QStringLiteral(" sec."));
    Script& script = session_.script();
    if (script.PendingCompare) session_.commands().startStep(Script::Step::Compare);
    script.finished(Script::Step::Write);
}

// The chip read back after a write must hold what was written: the editor's bytes.
bool OperationCompletion::VerifyAgainstEditor()
{
    return VerifyAgainstEditor(session_.document().transfer());
}

bool OperationCompletion::VerifyAgainstEditor(std::span<const uint8_t> chipImage)
{
    const uint32_t chipSize = session_.chip().ChipSize;
    const std::span<const uint8_t> written = session_.document().bytes();
    DiffList& diffs = session_.differences();
    diffs.Build(written.first(std::min<std::size_t>(chipSize, written.size())),
                chipImage.first(std::min<std::size_t>(chipSize, chipImage.size())));
    if (diffs.empty()) return true;
    session_.fail(Outcome::Mismatch,
                  Localized("Verify error: %1 bytes differ, the first at the address:",
                            "Ошибка проверки: не совпадают %1 байт, первый по адресу:")
                      .arg(diffs.size()),
                  diffs.address(0));
    session_.showDifferences();
    return false;
}

void OperationCompletion::VerifyFinishedStep(float seconds)
{
    if (VerifyAgainstEditor()) {
        WriteCompleted(session_.runner().writeSeconds + seconds);
        return;
    }
    session_.commands().startStep(session_.script().next(session_.isSpiChip()));
}

void OperationCompletion::EraseFinishedStep()
{
    // An erase is true of the chip only once every byte reads FF.
    session_.commands().StartEraseCheck();
}

void OperationCompletion::EraseCheckFinishedStep()
{
    const int64_t notBlank = FirstNotBlank(session_.document().transfer().first(session_.chip().ChipSize));
    if (notBlank >= 0) {
        session_.fail(
            Outcome::Mismatch,
            Localized("Erase error: the chip is not blank at the address:", "Ошибка стирания: чип не чист по адресу:"),
            notBlank);
    } else {
        session_.PrintLog(Localized("Erasing completed.", "Стирание завершено."));
        session_.script().finished(Script::Step::Erase);
    }
    session_.commands().startStep(session_.script().next(session_.isSpiChip()));
}

void OperationCompletion::CompletionTail()
{
    OperationRunner& runner = session_.runner();
    runner.SetPBarPos(ProgressReset);
    session_.statusChanged();
    // A kind of neither family leaves the controls as they are; the next step of a script or the
    // check of a write or an erase keeps them busy.
    if ((session_.isSpiChip() || session_.isI2cChip()) && !session_.script().anyPending() && !runner.workerRunning())
        session_.ActivateControls(Ready);
}

void OperationCompletion::WMOpFault(int32_t address)
{
    OperationRunner& runner = session_.runner();
    runner.workerEnded();
    const Work work = std::exchange(runner.work, Work::Plain);
    if (address < 0)
        session_.fail(Outcome::IoFailure, Localized("Erase error", "Ошибка стирания"));
    else if (!session_.isSpiChip())
        session_.fail(Outcome::IoFailure, Localized("Error in block", "Ошибка в блоке"), address);
    else if (work == Work::SmartWrite ? !session_.commands().spi().SmartWriteReading() : runner.writing(work))
        session_.fail(Outcome::IoFailure, Localized("Error writing at address", "Ошибка записи по адресу"), address);
    else
        session_.fail(Outcome::IoFailure, Localized("Error reading at address", "Ошибка чтения по адресу"), address);
    session_.commands().stopScript();
    session_.ActivateControls(Ready);
}

void OperationCompletion::HexEditorUpdate(std::span<const uint8_t> buffer, uint32_t count, bool blankCheck,
                                          bool compare)
{
    const std::span<const uint8_t> data = buffer.first(std::min<std::size_t>(count, buffer.size()));
    if (blankCheck) {
        const int64_t notBlank = FirstNotBlank(data);
        if (notBlank >= 0)
            session_.fail(Outcome::Mismatch,
                          Localized("Blank check error at the address:", "Ошибка проверки по адресу:"), notBlank);
        session_.commands().startStep(session_.script().next(false));
        return;
    }
    if (compare) {
        session_.hideDifferences();
        DiffList& diffs = session_.differences();
        diffs.Build(session_.document().bytes(), data);
        if (!diffs.empty()) {
            session_.noteOutcome(Outcome::Mismatch);
            session_.showDifferences();
        }
        // A mismatch is red, so that it is never missed in a long log.
        session_.PrintLog(Localized("Differences ", "Несовпадений ") + QString::number(diffs.size()),
                          diffs.empty() ? LogColour::Navy : LogColour::Red);
        return;
    }
    // With the BRG format an SPI chip's buffer carries its three status registers after the data.
    session_.document().showInEditor(data, session_.settings().autosaveFormat == 1 && session_.isSpiChip());
}

void OperationCompletion::CheckSum()
{
    session_.checkSumText.clear();
    session_.statusChanged();
    const std::span<const uint8_t> bytes = session_.document().bytes();
    const CheckSumResult result = ::CheckSum(bytes.first(std::min<std::size_t>(session_.chip().ChipSize, bytes.size())),
                                             session_.runner().CompareMode, session_.runner().BlankCheckMode);
    if (!result.text.en.empty()) {
        session_.checkSumText = Localized(result.text);
        session_.PrintLog(session_.checkSumText);
    }
    session_.statusChanged();
}

void OperationCompletion::SaveAutomaticDump()
{
    const MainSettings& settings = session_.settings();
    const QString extension = settings.autosaveFormat == 1 ? QStringLiteral(".BRG") : QStringLiteral(".BIN");
    const QString path = AutoDumpPath(settings.dumpDir, QString::fromStdString(session_.chip().ChipName), extension);
    if (const std::error_code error = session_.document().saveEditor(path))
        session_.fail(Outcome::IoFailure, Localized("Cannot save the dump file ", "Не удалось сохранить файл дампа ") +
                                              path + QStringLiteral(": ") + QString::fromStdString(error.message()));
}
