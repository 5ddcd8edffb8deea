#include "session/operations/ChipChecks.h"

#include "session/Document.h"
#include "session/KnownChipImage.h"
#include "session/Language.h"
#include "session/operations/FailureText.h"
#include "spi25/Spi25Driver.h"
#include "spi25/SpiIdentify.h"
#include "spi25/SpiProtection.h"
#include "spi25/SpiStatusRegisters.h"
#include "spi25/SpiUnprotect.h"

namespace ops {
namespace {

spi25::Spi25Driver* Spi(const OperationInputs& in)
{
    return dynamic_cast<spi25::Spi25Driver*>(in.driver.get());
}

void Print(JobContext& ctx, const SpiLog& log, Outcome onError = Outcome::IoFailure)
{
    for (const LogLine& line : log)
        if (line.error)
            ctx.fail(onError, Localized(line.text));
        else
            ctx.log(Localized(line.text));
}

QString Registers(const spi25::StatusValues& values, int count)
{
    return QString::fromStdString(spi25::StatusRegisterText(values, count));
}

} // namespace

Outcome CheckPresent(JobContext& ctx, const OperationInputs& in)
{
    spi25::Spi25Driver* spi = Spi(in);
    if (!spi) return Outcome::Completed;
    SpiLog log;
    const bool present = spi25::ChipPresent(spi->spi(), in.chip, log);
    Print(ctx, log, Outcome::NoDevice);
    return present ? Outcome::Completed : Outcome::NoDevice;
}

Outcome CheckIdentity(JobContext& ctx, OperationInputs& in,
                      const std::function<bool(const std::string& signature)>& useDetected)
{
    if (!Spi(in) || in.identityChecked || in.chip.signature.empty()) return Outcome::Completed;
    family::Identity identity;
    if (const family::Result result = in.driver->identify(identity); !result)
        return ctx.fail(OutcomeOf(result.failure()),
                        Localized("The chip's id cannot be read: ", "Не удаётся прочитать ID чипа: ") +
                            CauseText(result.failure()));
    in.identityChecked = true;
    if (!identity.answered)
        return ctx.fail(Outcome::NoDevice,
                        Localized("\nDevice is defective or not installed!", "\nЧип неисправен или не установлен!"));
    const QString expected = QString::fromStdString(in.chip.signature);
    const QString found = QString::fromStdString(identity.signature);
    if (expected.contains(found, Qt::CaseInsensitive)) return Outcome::Completed;

    const QString selected = QString::fromStdString(in.chip.name);
    Prompt prompt{Question::WrongChip,
                  Localized("The chip in the socket answers %1, not %2 as the selected %3 does.\n"
                            "Go on with %3 anyway?",
                            "Чип в панели отвечает %1, а не %2, как выбранный %3.\nВсё равно продолжить с %3?")
                      .arg(found, expected, selected),
                  Localized("Another chip", "Другой чип"), false};
    if (useDetected) prompt.otherChoice = Localized("Use the detected chip", "Выбрать найденный чип");
    switch (ctx.ask(prompt)) {
    case Answer::Yes:
        ctx.log(Localized("Going on with %1 although the chip answers %2.", "Продолжение с %1, хотя чип отвечает %2.")
                    .arg(selected, found));
        return Outcome::Completed;
    case Answer::Other: {
        bool selectedDetected = false;
        ctx.onSession([&] { selectedDetected = useDetected(identity.signature); });
        if (selectedDetected)
            return ctx.fail(Outcome::WrongChip, Localized("The detected chip is selected now; nothing was done with "
                                                          "the chip. Start the command again.",
                                                          "Выбран найденный чип; с чипом ничего не сделано. "
                                                          "Запустите команду ещё раз."));
        break;
    }
    case Answer::No: break;
    }
    return ctx.fail(Outcome::WrongChip, Localized("The chip in the socket answers %1, not %2 (%3); nothing was done.",
                                                  "Чип в панели отвечает %1, а не %2 (%3); ничего не сделано.")
                                            .arg(found, expected, selected));
}

Outcome ReadStatusIntoShadow(JobContext& ctx, const OperationInputs& in, bool logLines, int* registersRead)
{
    spi25::Spi25Driver* spi = Spi(in);
    if (!spi) return Outcome::Completed;
    const spi25::StatusRead read = spi25::ReadStatusRegisters(spi->spi(), in.chip.statusRegisters);
    if (registersRead) *registersRead = read.registersRead;
    ctx.onSession(
        [&] { std::copy_n(read.values.begin(), read.registersRead, in.bench->document.StatusShadow.SR.begin()); });
    if (read.failed) return ctx.fail(Outcome::IoFailure, Localized(spitext::StatusReadError));
    if (logLines) {
        const TextPair lines = spi25::StatusRegisterLines(read.values, in.chip.statusRegisters);
        if (!lines.en.empty()) ctx.log(Localized(lines));
    }
    return Outcome::Completed;
}

Outcome OfferUnprotect(JobContext& ctx, const OperationInputs& in, bool& eraseFollows)
{
    eraseFollows = false;
    spi25::Spi25Driver* spi = Spi(in);
    if (!spi) return Outcome::Completed;
    const int count = in.chip.statusRegisters;
    const spi25::StatusRead before = spi25::ReadStatusRegisters(spi->spi(), count);
    if (before.failed) return ctx.fail(Outcome::IoFailure, Localized(spitext::StatusReadError));
    if (!BlockProtectionSet(in.chip.name, in.chip.kind, before.values, count)) return Outcome::Completed;
    const QString registers = Registers(before.values, count);
    const Prompt prompt{Question::Unprotect,
                        Localized("Block protection is set (status registers %1).\nUnprotect the chip first?",
                                  "Установлена защита блоков (регистры статуса %1).\nСнять защиту с чипа?")
                            .arg(registers),
                        Localized("Protected chip", "Защищённый чип")};
    if (!ctx.confirm(prompt))
        return ctx.fail(Outcome::Refused,
                        Localized("The chip stays protected: status registers %1; nothing was sent to the chip.",
                                  "Защита чипа не снята: регистры статуса %1; в чип ничего не отправлено.")
                            .arg(registers));
    eraseFollows = UnprotectAndReport(ctx, in);
    return ctx.outcome();
}

bool UnprotectAndReport(JobContext& ctx, const OperationInputs& in)
{
    spi25::Spi25Driver* spi = Spi(in);
    if (!spi) return false;
    ctx.onSession([&] { in.bench->knownChip.forget(); });
    const int count = in.chip.statusRegisters;
    SpiLog log;
    const spi25::StatusRead before = spi25::ReadStatusRegisters(spi->spi(), count);
    if (before.failed) log.push_back({spitext::StatusReadError, true});
    const bool eraseFollows = spi25::Unprotect(spi->spi(), in.chip, log);
    const spi25::StatusRead after = spi25::ReadStatusRegisters(spi->spi(), count);
    if (after.failed) log.push_back({spitext::StatusReadError, true});
    Print(ctx, log);
    if (before.failed || after.failed) return eraseFollows;
    ctx.onSession(
        [&] { std::copy_n(after.values.begin(), after.registersRead, in.bench->document.StatusShadow.SR.begin()); });
    const QString change = Registers(before.values, count) + QStringLiteral(" -> ") + Registers(after.values, count);
    if (BlockProtectionSet(in.chip.name, in.chip.kind, after.values, count))
        ctx.fail(Outcome::IoFailure, Localized("The chip is still protected: status registers ",
                                               "Защита чипа не снята: регистры статуса ") +
                                         change);
    else
        ctx.log(Localized("Unprotect: status registers ", "Снятие защиты: регистры статуса ") + change);
    return eraseFollows;
}

} // namespace ops
