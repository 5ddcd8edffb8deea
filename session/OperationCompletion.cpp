#include "session/OperationCompletion.h"

#include "buffer/CheckSum.h"
#include "session/DumpFileName.h"
#include "session/ElapsedText.h"
#include "session/Language.h"
#include "session/Session.h"

#include <algorithm>

void OperationCompletion::WMOpProgress(int32_t code, float seconds)
{
    OperationRunner &runner = session_.runner();
    switch (code) {
    case ReadFinished:
        ReadFinishedStep(seconds);
        break;
    case WriteFinished:
        WriteFinishedStep(seconds);
        break;
    case ReadCancelled:
        session_.noteOutcome(Outcome::Cancelled);
        session_.PrintLog(runner.BlankCheckMode
                              ? Lang("Blank check terminated by user", "Проверка прервана пользователем")
                              : Lang("Reading terminated by user", "Считывание прервано пользователем"));
        session_.ActivateControls(Ready);
        break;
    case WriteCancelled:
        session_.noteOutcome(Outcome::Cancelled);
        session_.PrintLog(Lang("Writing terminated by user", "Программирование прервано пользователем"));
        session_.ActivateControls(Ready);
        break;
    case EraseFinished:
        EraseFinishedStep();
        break;
    case EraseCancelled:
        session_.noteOutcome(Outcome::Cancelled);
        session_.PrintLog(Lang("Erasing terminated by user.", "Стирание прервано пользователем."));
        session_.ActivateControls(Ready);
        break;
    default:
        break;
    }
    CompletionTail();
}

void OperationCompletion::ReadFinishedStep(float seconds)
{
    OperationRunner &runner = session_.runner();
    QString text;
    if (runner.BlankCheckMode) {
        text = Lang("Blank check completed,\nchecking time ", "Проверка завершена,\nвремя проверки ");
        session_.script().finished(Script::Step::BlankCheck);
    } else if (runner.CompareMode) {
        text = Lang("Comparing completed,\ncompare time ", "Сравнение завершено,\nвремя сравнеия ");
        session_.script().finished(Script::Step::Compare);
    } else {
        text = Lang("Reading completed,\nreading time ", "Считывание завершено,\nвремя считывания ");
    }
    session_.PrintLog(text + FormatSeconds(seconds) + QStringLiteral(" sec."));
    HexEditorUpdate(session_.document().transfer(), session_.chip().ChipSize, runner.BlankCheckMode,
                    runner.CompareMode);
    CheckSum();
    if (!runner.CompareMode && !runner.BlankCheckMode && session_.automaticDumps)
        SaveAutomaticDump();
}

void OperationCompletion::WriteFinishedStep(float seconds)
{
    session_.PrintLog(Lang("Writing completed,\nWriting time ", "Программирование завершено,\nВремя программирования ")
                      + FormatSeconds(seconds) + QStringLiteral(" sec."));
    if (session_.script().PendingCompare)
        session_.commands().MmCompareClick();
    session_.script().finished(Script::Step::Write);
}

void OperationCompletion::EraseFinishedStep()
{
    session_.PrintLog(Lang("Erasing completed.", "Стирание завершено."));
    Script &script = session_.script();
    script.finished(Script::Step::Erase);
    session_.commands().startStep(script.next(session_.isSpiChip()));
}

void OperationCompletion::CompletionTail()
{
    session_.runner().SetPBarPos(ProgressReset);
    session_.statusChanged();
    // A kind of neither family leaves the controls as they are.
    if ((session_.isSpiChip() || session_.isI2cChip()) && !session_.script().anyPending())
        session_.ActivateControls(Ready);
}

void OperationCompletion::WMOpFault(int32_t address)
{
    if (address < 0)
        session_.fail(Outcome::IoFailure, Lang("Erase error", "Ошибка стирания"));
    else
        session_.fail(Outcome::IoFailure, Lang("Error in block", "Ошибка в блоке"), address);
    session_.ActivateControls(Ready);
}

void OperationCompletion::HexEditorUpdate(std::span<const uint8_t> buffer, uint32_t count, bool blankCheck,
                                          bool compare)
{
    const std::span<const uint8_t> data = buffer.first(std::min<std::size_t>(count, buffer.size()));
    if (blankCheck) {
        const auto notBlank = std::find_if(data.begin(), data.end(), [](uint8_t b) { return b != 0xFF; });
        if (notBlank != data.end())
            session_.fail(Outcome::Mismatch, Lang("Blank check error at the address:", "Ошибка проверки по адресу:"),
                          notBlank - data.begin());
        session_.commands().startStep(session_.script().next(false));
        return;
    }
    if (compare) {
        session_.hideDifferences();
        DiffList &diffs = session_.differences();
        diffs.Build(session_.document().bytes(), data);
        if (!diffs.empty()) {
            session_.noteOutcome(Outcome::Mismatch);
            session_.showDifferences();
        }
        session_.PrintLog(Lang("Differences ", "Несовпадений ") + QString::number(diffs.size()));
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
    if (!result.text.empty()) {
        session_.checkSumText = QString::fromStdString(result.text);
        session_.PrintLog(session_.checkSumText);
    }
    session_.statusChanged();
}

void OperationCompletion::SaveAutomaticDump()
{
    const MainSettings &settings = session_.settings();
    const QString extension = settings.autosaveFormat == 1 ? QStringLiteral(".BRG") : QStringLiteral(".BIN");
    const QString path =
        AutoDumpPath(settings.dumpDir, QString::fromStdString(session_.chip().ChipName), extension);
    if (const std::error_code error = session_.document().saveEditor(path))
        session_.fail(Outcome::IoFailure,
                      Lang("Cannot save the dump file ", "Не удалось сохранить файл дампа ") + path + QStringLiteral(": ")
                          + QString::fromStdString(error.message()));
}
