#include "session/operations/FailureText.h"

#include "session/CancelHints.h"
#include "session/Language.h"
#include "session/LogText.h"
#include "session/operations/OperationInputs.h"

namespace ops {

QString CauseText(const family::Failure& failure)
{
    using Cause = family::Failure::Cause;
    switch (failure.cause) {
    case Cause::Cancelled: return Localized("cancelled by the user", "отменено пользователем");
    case Cause::Link:
        if (failure.link == UsbStatus::NoDevice || failure.link == UsbStatus::NotOpen)
            return Localized("the adapter was unplugged", "адаптер отключён");
        return Localized(DescribeUsbStatus(failure.link));
    case Cause::NotAcknowledged:
        return failure.byte == 0
                   ? Localized("the chip did not acknowledge its device address (byte 0)",
                               "чип не подтвердил свой адрес устройства (байт 0)")
                   : Localized("the chip did not acknowledge byte %1", "чип не подтвердил байт %1").arg(failure.byte);
    case Cause::StayedBusy:
        return Localized("the chip stayed busy for %1 s", "чип оставался занят %1 с")
            .arg(QString::number(double(failure.waited.count()) / 1000.0, 'f', 1));
    case Cause::Refused: return Localized("the chip did not take the command", "чип не принял команду");
    case Cause::NoChip: return Localized("no chip answers", "чип не отвечает");
    case Cause::BadRequest: return Localized("the chip record does not allow it", "запись чипа этого не допускает");
    }
    return {};
}

Outcome OutcomeOf(const family::Failure& failure)
{
    using Cause = family::Failure::Cause;
    switch (failure.cause) {
    case Cause::Cancelled: return Outcome::Cancelled;
    // Nothing answers at the device address from the start: no chip there (or another address).
    // A chip that stops answering later failed, as a chip that refuses a data byte does.
    case Cause::NotAcknowledged:
        return failure.byte == 0 && failure.address == 0 ? Outcome::NoDevice : Outcome::IoFailure;
    case Cause::NoChip: return Outcome::NoDevice;
    case Cause::BadRequest: return Outcome::BadInput;
    case Cause::Link:
    case Cause::StayedBusy:
    case Cause::Refused: break;
    }
    return Outcome::IoFailure;
}

QString FailureLine(const QString& line, const family::Failure& failure)
{
    return line + LogNumberSuffix(failure.address) + QStringLiteral(": ") + CauseText(failure);
}

QString PartlyWrittenLine(uint32_t programmedFrom, uint32_t programmedTo)
{
    if (programmedTo <= programmedFrom) return Localized("Nothing was programmed.", "Ничего не записано.");
    auto hex = [](uint32_t value) {
        return QStringLiteral("0x") + QString::number(value, 16).toUpper().rightJustified(6, QLatin1Char('0'));
    };
    return Localized("The chip is now partly written: %1–%2 programmed.", "Чип записан частично: записано %1–%2.")
        .arg(hex(programmedFrom), hex(programmedTo - 1));
}

QString HintA(const OperationInputs& in)
{
    return in.settings.cancelHints ? CancelHintA() : QString();
}

QString HintB(const OperationInputs& in)
{
    return in.settings.cancelHints ? CancelHintB() : QString();
}

} // namespace ops
