#include "session/operations/Jobs.h"

#include "i2c24/I2c24Driver.h"
#include "session/CancelHints.h"
#include "session/Language.h"
#include "session/operations/ChipChecks.h"
#include "session/operations/ReadSteps.h"
#include "session/operations/SmartWrite.h"
#include "session/operations/WriteSteps.h"
#include "spi25/Spi25Driver.h"
#include "spi25/SpiIdentify.h"
#include "spi25/SpiText.h"

namespace ops {
namespace {

const TextPair ReadingStartText{"\nReading...\n", "\nСчитывание...\n"};
const TextPair WritingStartText{"\nWriting...\n", "\nПрограммирование...\n"};
const TextPair ComparingStartText{"\nComparing...\n", "\nСравнение...\n"};

QString StartLine(const OperationInputs& in, const TextPair& text)
{
    return Localized(text) + HintA(in);
}

// The 24xx chip in the socket must answer as the selected type: a part of another address width
// would be read wrongly and written at the wrong addresses.
Outcome CheckAddressWidth(JobContext& ctx, const OperationInputs& in)
{
    auto* driver = dynamic_cast<i2c24::I2c24Driver*>(in.driver.get());
    if (!driver) return Outcome::Completed;
    const QString name = QString::fromStdString(in.chip.name);
    switch (driver->probeAddressWidth()) {
    case i2c24::AddressWidthProbe::Fits:
    case i2c24::AddressWidthProbe::NoAnswer: // the first block fails and says so
        return Outcome::Completed;
    case i2c24::AddressWidthProbe::Unsure:
        ctx.log(Localized("The address width of the chip cannot be told from its contents (the bytes read are "
                          "all alike).",
                          "Разрядность адреса чипа нельзя определить по его содержимому (прочитанные байты "
                          "одинаковы)."));
        return Outcome::Completed;
    case i2c24::AddressWidthProbe::LinkFailed:
        return ctx.fail(Outcome::IoFailure, Localized("Error in block", "Ошибка в блоке"), 0);
    case i2c24::AddressWidthProbe::TwoAddressBytes:
        return ctx.fail(Outcome::NoDevice,
                        Localized("The chip in the socket answers as a part with two address bytes (24C32 or larger), "
                                  "not as the selected %1; nothing was done.",
                                  "Чип в панели отвечает как микросхема с двумя байтами адреса (24C32 и больше), а не "
                                  "как выбранная %1; ничего не сделано.")
                            .arg(name));
    case i2c24::AddressWidthProbe::OneAddressByte:
        return ctx.fail(Outcome::NoDevice,
                        Localized("The chip in the socket answers as a part with one address byte (24C16 or smaller), "
                                  "not as the selected %1; nothing was done.",
                                  "Чип в панели отвечает как микросхема с одним байтом адреса (24C16 и меньше), а не "
                                  "как выбранная %1; ничего не сделано.")
                            .arg(name));
    }
    return Outcome::Completed;
}

// The checks every SPI command that touches the array makes first: a chip is there, and it is the
// one selected.
Job SpiPrelude(const Inputs& in, const UseDetectedChip& useDetected)
{
    Job job;
    job.then("present", [in](JobContext& ctx) { return CheckPresent(ctx, *in); });
    job.then("identity", [in, useDetected](JobContext& ctx) {
        std::function<bool(const std::string&)> pick;
        if (useDetected) pick = [&in, &useDetected](const std::string& s) { return useDetected(s, *in); };
        return CheckIdentity(ctx, *in, pick);
    });
    return job;
}

Outcome CheckWritable(JobContext& ctx, const OperationInputs& in)
{
    const chipdb::Chip& chip = in.chip;
    if (chip.isSpi() && chip.writeMethod == chipdb::SpiWriteMethod::None)
        // Without a programming method nothing would be written, and nothing must say it was.
        return ctx.fail(Outcome::BadInput, Localized("This SPI chip kind has no programming method: ",
                                                     "Для этого типа SPI чипа нет способа записи: ") +
                                               QString::fromStdString(chip.kind));
    const bool pageless = chip.isSpi() ? chip.writeMethod == chipdb::SpiWriteMethod::Page &&
                                             (chip.pageSize == 0 || chip.pageSize > 0xFFFF)
                                       : chip.pageSize == 0 || chip.pageSize > 0xFFFF;
    if (pageless) {
        ctx.warn(Localized(spitext::PageSizeZero), Localized(spitext::PageSizeZeroCaption));
        ctx.note(Outcome::BadInput);
        return Outcome::BadInput;
    }
    return Outcome::Completed;
}

Outcome ChipSizeForWrite(JobContext& ctx, const OperationInputs& in)
{
    if (in.chip.size != 0) return Outcome::Completed;
    return ctx.fail(Outcome::BadInput,
                    Localized("\nChip size = 0, nothing to write", "\nРазмер чипа = 0, записывать нечего"));
}

// Block protection, asked about before the chip is changed; an unprotect that ends with the chip's
// erase runs it at once (the write that follows finds the chip erased).
Job UnprotectPrelude(const Inputs& in)
{
    Job job;
    job.then("unprotect", [in](JobContext& ctx) {
        bool eraseFollows = false;
        if (const Outcome offered = OfferUnprotect(ctx, *in, eraseFollows); offered != Outcome::Completed)
            return offered;
        return eraseFollows ? EraseChip(ctx, *in) : Outcome::Completed;
    });
    return job;
}

Job I2cWrite(const Inputs& in, bool smart)
{
    Job job;
    job.then("start", [in, smart](JobContext& ctx) {
        if (in->settings.ackCheck) ctx.log(StartLine(*in, WritingStartText));
        if (smart)
            ctx.log(Localized("Smart write: a 24xx chip is written whole.",
                              "Умная запись: чип 24xx записывается целиком."));
        return Outcome::Completed;
    });
    job.then("writable", [in](JobContext& ctx) { return CheckWritable(ctx, *in); });
    job.then("editor", [in](JobContext& ctx) { return TakeEditorBytes(ctx, *in); });
    if (!in->settings.ackCheck)
        return job.then("fast write", [in](JobContext& ctx) { return FastWriteChip(ctx, *in); });
    job.then("address width", [in](JobContext& ctx) { return CheckAddressWidth(ctx, *in); });
    job.then("program", [in](JobContext& ctx) { return ProgramChip(ctx, *in); });
    return job;
}

} // namespace

Job ReadJob(Inputs in, UseDetectedChip useDetected)
{
    if (in->chip.isSpi()) {
        Job job = SpiPrelude(in, useDetected);
        job.then("status", [in](JobContext& ctx) { return ReadStatusIntoShadow(ctx, *in, true); });
        job.then("read", [in](JobContext& ctx) {
            ctx.log(StartLine(*in, ReadingStartText));
            return ReadChip(ctx, *in, ReadPurpose::Read);
        });
        return job;
    }
    Job job;
    if (!in->settings.ackCheck)
        return job.then("fast read", [in](JobContext& ctx) { return FastReadChip(ctx, *in, false); });
    job.then("start", [in](JobContext& ctx) {
        ctx.log(StartLine(*in, ReadingStartText));
        return Outcome::Completed;
    });
    job.then("address width", [in](JobContext& ctx) { return CheckAddressWidth(ctx, *in); });
    job.then("read", [in](JobContext& ctx) { return ReadChip(ctx, *in, ReadPurpose::Read); });
    return job;
}

Job CompareJob(Inputs in, UseDetectedChip useDetected)
{
    if (in->chip.isSpi()) {
        Job job = SpiPrelude(in, useDetected);
        job.then("compare", [in](JobContext& ctx) {
            ctx.log(StartLine(*in, ComparingStartText));
            return ReadChip(ctx, *in, ReadPurpose::Compare);
        });
        return job;
    }
    Job job;
    if (!in->settings.ackCheck)
        return job.then("fast compare", [in](JobContext& ctx) { return FastReadChip(ctx, *in, true); });
    job.then("start", [in](JobContext& ctx) {
        ctx.log(StartLine(*in, ComparingStartText));
        return Outcome::Completed;
    });
    job.then("address width", [in](JobContext& ctx) { return CheckAddressWidth(ctx, *in); });
    job.then("compare", [in](JobContext& ctx) { return ReadChip(ctx, *in, ReadPurpose::Compare); });
    return job;
}

Job BlankCheckJob(Inputs in, UseDetectedChip useDetected)
{
    // An empty socket reads FF everywhere: it must not pass for a blank chip.
    Job job = in->chip.isSpi() ? SpiPrelude(in, useDetected) : Job{};
    if (in->chip.isI2c()) job.then("address width", [in](JobContext& ctx) { return CheckAddressWidth(ctx, *in); });
    job.then("blank check", [in](JobContext& ctx) {
        ctx.log(Localized(spitext::CheckingForBlank) + HintB(*in));
        return ReadChip(ctx, *in, ReadPurpose::BlankCheck);
    });
    return job;
}

Job WriteJob(Inputs in, WriteMode mode, UseDetectedChip useDetected)
{
    Job job;
    job.then("size", [in](JobContext& ctx) { return ChipSizeForWrite(ctx, *in); });
    if (in->chip.isI2c()) return job.then(I2cWrite(in, false));
    if (in->chip.isSpi()) {
        job.then(SpiPrelude(in, useDetected));
        job.then(UnprotectPrelude(in));
    }
    job.then("writable", [in](JobContext& ctx) { return CheckWritable(ctx, *in); });
    job.then("start", [in](JobContext& ctx) {
        ctx.log(StartLine(*in, WritingStartText));
        return Outcome::Completed;
    });
    job.then("editor holds the chip", [in](JobContext& ctx) { return CheckEditorHoldsTheChip(ctx, *in); });
    job.then("erased", [in, mode](JobContext& ctx) { return EnsureErased(ctx, *in, mode); });
    job.then("editor", [in](JobContext& ctx) { return TakeEditorBytes(ctx, *in); });
    job.then("program", [in](JobContext& ctx) { return ProgramChip(ctx, *in); });
    return job;
}

Job SmartWriteJob(Inputs in, UseDetectedChip useDetected)
{
    if (!in->chip.isSpi() && !in->chip.isI2c()) {
        // Only a flash has sectors to spare: the other families write every word as it is.
        Job job;
        job.then("whole", [in](JobContext& ctx) {
            ctx.log(
                Localized("Smart write: this chip is written whole.", "Умная запись: этот чип записывается целиком."));
            return Outcome::Completed;
        });
        return job.then(WriteJob(in, WriteMode::Plain, useDetected));
    }
    Job job;
    job.then("size", [in](JobContext& ctx) { return ChipSizeForWrite(ctx, *in); });
    if (in->chip.isI2c()) return job.then(I2cWrite(in, true));
    job.then(SpiPrelude(in, useDetected));
    job.then(UnprotectPrelude(in));
    job.then("writable", [in](JobContext& ctx) { return CheckWritable(ctx, *in); });
    job.then("start", [in](JobContext& ctx) {
        ctx.log(StartLine(*in, WritingStartText));
        return Outcome::Completed;
    });
    job.then("editor", [in](JobContext& ctx) { return TakeEditorBytes(ctx, *in); });
    job.then("smart write", [in](JobContext& ctx) { return SmartWriteChip(ctx, *in); });
    return job;
}

Job EraseJob(Inputs in, UseDetectedChip useDetected)
{
    Job job = SpiPrelude(in, useDetected);
    job.then("confirm", [](JobContext& ctx) {
        const Prompt prompt{Question::EraseChip, Localized(spitext::EraseConfirm),
                            Localized(spitext::EraseConfirmCaption), false};
        if (ctx.confirm(prompt)) return Outcome::Completed;
        return ctx.fail(Outcome::Refused, Localized("Nothing was erased: the erase was not confirmed.",
                                                    "Ничего не стёрто: стирание не подтверждено."));
    });
    job.then("unprotect", [in](JobContext& ctx) {
        bool eraseFollows = false;
        if (const Outcome offered = OfferUnprotect(ctx, *in, eraseFollows); offered != Outcome::Completed)
            return offered;
        // The unprotect sequence itself ends with the chip erase: no look at the registers.
        if (!eraseFollows && CheckStatusBeforeErase(ctx, *in) != Outcome::Completed) return ctx.outcome();
        return EraseChip(ctx, *in);
    });
    return job;
}

Job EraseAfterUnprotectJob(Inputs in)
{
    Job job;
    job.then("erase", [in](JobContext& ctx) { return EraseChip(ctx, *in); });
    return job;
}

Job ScriptJob(Inputs in, ScriptSteps steps, UseDetectedChip useDetected)
{
    const bool spi = in->chip.isSpi();
    Job script;
    script.then("script", [in, spi](JobContext& ctx) {
        ctx.log(Localized("\nScript executing:", "\nВыполняется сценарий:"));
        if (!spi) return Outcome::Completed;
        // Wakes the chip (its answer is not looked at), then its status must be readable.
        SpiLog log;
        if (auto* driver = dynamic_cast<spi25::Spi25Driver*>(in->driver.get())) spi25::GetSpiId(driver->spi(), log);
        for (const LogLine& line : log) ctx.log(Localized(line.text), line.error ? LogColour::Red : LogColour::Navy);
        family::StatusBytes status{};
        if (!in->driver->readStatus(status))
            return ctx.fail(Outcome::IoFailure,
                            Localized("Status register reading error!", "Ошибка чтения регистра статуса!"));
        return Outcome::Completed;
    });
    // Each command of the script runs as one step: the first that does not complete ends the
    // script, and the log names it (a refusal or a cancel has said why already).
    auto add = [&script](const char* name, const TextPair& title, Job command) {
        script.then(name, [title, command = std::move(command)](JobContext& ctx) mutable {
            for (JobStep& step : command.steps) {
                const Outcome outcome = step.run(ctx);
                if (outcome == Outcome::Completed) continue;
                if (outcome != Outcome::Cancelled && outcome != Outcome::Refused)
                    ctx.log(Localized("The script stopped: the step \"%1\" failed.",
                                      "Сценарий остановлен: не выполнен шаг «%1».")
                                .arg(Localized(title)),
                            LogColour::Red);
                return outcome;
            }
            return Outcome::Completed;
        });
    };
    if (steps.erase && spi) add("erase", {"Erase", "Стирание"}, EraseJob(in, useDetected));
    if (steps.blankCheck && spi)
        add("blank check", {"Blank check", "Проверка на чистоту"}, BlankCheckJob(in, useDetected));
    if (steps.write) add("write", {"Write", "Программирование"}, WriteJob(in, WriteMode::Plain, useDetected));
    if (steps.compare) add("compare", {"Compare", "Сравнение"}, CompareJob(in, useDetected));
    return script;
}

} // namespace ops
