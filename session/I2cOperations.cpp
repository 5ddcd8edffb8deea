#include "session/I2cOperations.h"

#include "i2c/I2cTexts.h"
#include "i2c/IICCommands.h"
#include "i2c/IICFastPath.h"
#include "i2c/IICReadThread.h"
#include "i2c/IICWriteThread.h"
#include "session/ElapsedText.h"
#include "session/Language.h"
#include "session/Session.h"

#include <QCoreApplication>

namespace {
QString SecondsText(float seconds)
{
    return FormatSeconds(seconds) + QString::fromLatin1(SecondsSuffix.data(), qsizetype(SecondsSuffix.size()));
}
} // namespace

void I2cOperations::IICReadChip()
{
    const chipdb::SelectedChip &chip = session_.chip();
    session_.runner().setProgressMaximum(int(IICReadSteps(chip.ChipSize)));
    session_.runner().setProgressPosition(0);
    session_.checkSumText.clear();
    session_.statusChanged();

    if (!session_.settings().ackCheck) {
        IICFastReadChip();
        return;
    }
    auto params = MakeIICReadParams(chip, session_.document().transfer());
    if (!params) {
        session_.fail(Outcome::BadInput, Lang("The chip is larger than the buffer; nothing was read.",
                                              "Чип больше буфера, чтение не выполнено."));
        session_.ActivateControls(Ready);
        return;
    }
    session_.startWorker([library = session_.adapter().Library](const WorkerParams &p,
                                                               WorkerContext &c) { IICReadThread(*library, p, c); },
                         std::make_shared<WorkerParams>(*params));
}

void I2cOperations::IICFastReadChip()
{
    const bool compare = session_.runner().CompareMode;
    const chipdb::SelectedChip &chip = session_.chip();
    session_.PrintLog(Lang(compare ? FastComparingText : FastReadingText));
    QCoreApplication::processEvents();
    const std::optional<float> seconds = IICFastRead(*session_.adapter().Library, EepromTypeOf(chip), chip.ChipSize,
                                                     session_.document().transfer());
    if (seconds)
        session_.PrintLog(Lang(compare ? FastComparingDoneText : FastReadingDoneText) + SecondsText(*seconds));
    session_.completion().HexEditorUpdate(session_.document().transfer(), chip.ChipSize, false, compare);
    session_.runner().SetPBarPos(ProgressReset);
    session_.completion().CheckSum();
    session_.ActivateControls(Ready);
}

void I2cOperations::IICWriteChip()
{
    const chipdb::SelectedChip &chip = session_.chip();
    if (!IICPageSizeUsable(chip.PageSize)) {
        session_.noteOutcome(Outcome::BadInput);
        session_.events().warn(QStringLiteral("PageSize = 0"), QStringLiteral("Ошибка!"));
        session_.ActivateControls(Ready);
        return;
    }
    session_.runner().setProgressMaximum(int(IICWriteSteps(chip.ChipSize, chip.PageSize)));
    session_.runner().setProgressPosition(0);
    session_.statusChanged();
    if (!session_.files().CopyEditorToTransferBuffer())
        return;

    if (!session_.settings().ackCheck) {
        IICFastWriteChip();
        return;
    }
    auto params = MakeIICWriteParams(chip, session_.document().transfer());
    if (!params) {
        session_.fail(Outcome::BadInput, Lang("The chip is larger than the buffer; nothing was written.",
                                              "Чип больше буфера, запись не выполнена."));
        session_.ActivateControls(Ready);
        return;
    }
    session_.startWorker([library = session_.adapter().Library](const WorkerParams &p,
                                                               WorkerContext &c) { IICWriteThread(*library, p, c); },
                         std::make_shared<WorkerParams>(*params));
}

void I2cOperations::IICFastWriteChip()
{
    const chipdb::SelectedChip &chip = session_.chip();
    session_.PrintLog(Lang(FastWritingText));
    QCoreApplication::processEvents();
    const std::optional<float> seconds = IICFastWrite(*session_.adapter().Library, EepromTypeOf(chip), chip.ChipSize,
                                                      session_.document().transfer());
    session_.PrintLog(Lang(FastWritingDoneText) + SecondsText(seconds.value_or(0)));
    Script &script = session_.script();
    if (script.PendingCompare) {
        session_.commands().MmCompareClick();
        script.PendingCompare = false;
    }
    session_.ActivateControls(Ready);
}
