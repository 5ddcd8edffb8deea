#include "session/I2cOperations.h"

#include "i2c/I2cTexts.h"
#include "i2c/IICCommands.h"
#include "i2c/IICFastPath.h"
#include "i2c/IICProbe.h"
#include "i2c/IICReadThread.h"
#include "i2c/IICWriteThread.h"
#include "i2c/SlaveAddress.h"
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

bool I2cOperations::ChipFitsTheType()
{
    const chipdb::SelectedChip& chip = session_.chip();
    const uint8_t deviceBase = DeviceAddressOverride(chip.ChipName).value_or(SlaveAddress.load());
    const QString name = QString::fromStdString(chip.ChipName);
    switch (IICProbeAddressWidth(*session_.adapter().Library, EepromTypeOf(chip), deviceBase)) {
    case IICProbeResult::Fits:
    case IICProbeResult::NoAnswer: // the first block fails and says so
        return true;
    case IICProbeResult::Unsure:
        session_.PrintLog(
            Localized("The address width of the chip cannot be told from its contents (the bytes read are "
                      "all alike).",
                      "Разрядность адреса чипа нельзя определить по его содержимому (прочитанные байты "
                      "одинаковы)."));
        return true;
    case IICProbeResult::LinkFailed:
        session_.fail(Outcome::IoFailure, Localized("Error in block", "Ошибка в блоке"), 0);
        break;
    case IICProbeResult::TwoAddressBytes:
        session_.fail(
            Outcome::NoDevice,
            Localized("The chip in the socket answers as a part with two address bytes (24C32 or larger), not as "
                      "the selected %1; nothing was done.",
                      "Чип в панели отвечает как микросхема с двумя байтами адреса (24C32 и больше), а не как "
                      "выбранная %1; ничего не сделано.")
                .arg(name));
        break;
    case IICProbeResult::OneAddressByte:
        session_.fail(
            Outcome::NoDevice,
            Localized("The chip in the socket answers as a part with one address byte (24C16 or smaller), not as "
                      "the selected %1; nothing was done.",
                      "Чип в панели отвечает как микросхема с одним байтом адреса (24C16 и меньше), а не как "
                      "выбранная %1; ничего не сделано.")
                .arg(name));
        break;
    }
    session_.ActivateControls(Ready);
    return false;
}

void I2cOperations::ReportMirroredHalves()
{
    const chipdb::SelectedChip& chip = session_.chip();
    if (MirroredHalves(session_.document().transfer().first(chip.ChipSize)))
        session_.PrintLog(
            Localized("The upper half of the chip repeats its lower half: it may be a smaller part than the "
                      "selected %1 (its addresses wrap), or hold the same data twice.",
                      "Верхняя половина чипа повторяет нижнюю: это может быть микросхема меньше выбранной "
                      "%1 (адреса повторяются) или одинаковые данные, записанные дважды.")
                .arg(QString::fromStdString(chip.ChipName)));
}

void I2cOperations::IICReadChip()
{
    const chipdb::SelectedChip& chip = session_.chip();
    session_.runner().setProgressMaximum(int(IICReadSteps(chip.ChipSize)));
    session_.runner().setProgressPosition(0);
    session_.checkSumText.clear();
    session_.statusChanged();

    if (!session_.settings().ackCheck) {
        IICFastReadChip();
        return;
    }
    // The read back of a write was checked before the write.
    if (session_.runner().work != OperationRunner::Work::Verify && !ChipFitsTheType()) return;
    StartStreamWorker(
        MakeIICReadParams(chip, session_.document().transfer()), IICReadThread,
        Localized("The chip is larger than the buffer; nothing was read.", "Чип больше буфера, чтение не выполнено."));
}

void I2cOperations::IICFastReadChip()
{
    const bool compare = session_.runner().CompareMode;
    const chipdb::SelectedChip& chip = session_.chip();
    session_.PrintLog(Localized(compare ? FastComparingText : FastReadingText));
    QCoreApplication::processEvents();
    const std::optional<float> seconds =
        IICFastRead(*session_.adapter().Library, EepromTypeOf(chip), chip.ChipSize, session_.document().transfer());
    if (seconds)
        session_.PrintLog(Localized(compare ? FastComparingDoneText : FastReadingDoneText) + SecondsText(*seconds));
    session_.completion().HexEditorUpdate(session_.document().transfer(), chip.ChipSize, false, compare);
    session_.runner().SetPBarPos(ProgressReset);
    session_.completion().CheckSum();
    session_.ActivateControls(Ready);
}

void I2cOperations::IICWriteChip()
{
    const chipdb::SelectedChip& chip = session_.chip();
    if (!IICPageSizeUsable(chip.PageSize)) {
        session_.noteOutcome(Outcome::BadInput);
        session_.events().warn(QStringLiteral("PageSize = 0"), QStringLiteral("Ошибка!"));
        session_.ActivateControls(Ready);
        return;
    }
    session_.runner().setProgressMaximum(int(IICWriteSteps(chip.ChipSize, chip.PageSize)));
    session_.runner().setProgressPosition(0);
    session_.statusChanged();
    if (!session_.files().CopyEditorToTransferBuffer()) return;

    if (!session_.settings().ackCheck) {
        IICFastWriteChip();
        return;
    }
    if (!ChipFitsTheType()) return;
    StartStreamWorker(MakeIICWriteParams(chip, session_.document().transfer()), IICWriteThread,
                      Localized("The chip is larger than the buffer; nothing was written.",
                                "Чип больше буфера, запись не выполнена."));
}

void I2cOperations::StartStreamWorker(std::optional<WorkerParams> params, Worker worker, const QString& refusal)
{
    if (!params) {
        session_.fail(Outcome::BadInput, refusal);
        session_.ActivateControls(Ready);
        return;
    }
    session_.startWorker([library = session_.adapter().Library, worker](const WorkerParams& p,
                                                                        WorkerContext& c) { worker(*library, p, c); },
                         std::make_shared<WorkerParams>(*params));
}

void I2cOperations::IICFastWriteChip()
{
    const chipdb::SelectedChip& chip = session_.chip();
    session_.PrintLog(Localized(FastWritingText));
    QCoreApplication::processEvents();
    Ch341Library& library = *session_.adapter().Library;
    const std::span<uint8_t> image = session_.document().transfer();
    float seconds = IICFastWrite(library, EepromTypeOf(chip), chip.ChipSize, image).value_or(0);
    if (session_.settings().verify) {
        // Without acknowledgements nothing tells a failed page: only the read-back does.
        session_.PrintLog(Localized("\nVerifying...\n", "\nПроверка записи...\n"));
        QCoreApplication::processEvents();
        seconds += IICFastRead(library, EepromTypeOf(chip), chip.ChipSize, image).value_or(0);
        if (!session_.completion().VerifyAgainstEditor()) {
            session_.commands().stopScript();
            session_.ActivateControls(Ready);
            return;
        }
    }
    session_.PrintLog(Localized(FastWritingDoneText) + SecondsText(seconds));
    Script& script = session_.script();
    if (script.PendingCompare) {
        session_.commands().MmCompareClick();
        script.PendingCompare = false;
    }
    session_.ActivateControls(Ready);
}
