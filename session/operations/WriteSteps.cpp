#include "session/operations/WriteSteps.h"

#include "session/CancelHints.h"
#include "session/Document.h"
#include "session/ElapsedText.h"
#include "session/KnownChipImage.h"
#include "session/Language.h"
#include "session/operations/FailureText.h"
#include "session/operations/ReadSteps.h"
#include "spi25/Spi25Driver.h"
#include "spi25/SpiStatusRegisters.h"
#include "spi25/SpiText.h"

#include <algorithm>
#include <chrono>

namespace ops {
namespace {

QString Seconds(float seconds)
{
    return FormatSeconds(seconds) + QStringLiteral(" sec.");
}

float SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<float>(std::chrono::steady_clock::now() - start).count();
}

// The programming unit of the chip: the page, or the SST block.
uint32_t ProgramUnit(const OperationInputs& in)
{
    if (auto* spi = dynamic_cast<spi25::Spi25Driver*>(in.driver.get())) return spi->programUnit();
    return in.chip.pageSize;
}

// How many bytes a whole-chip program writes: whole units for the SPI methods, everything for 24xx.
uint32_t ProgramLength(const OperationInputs& in)
{
    const uint32_t unit = ProgramUnit(in);
    if (!in.chip.isSpi() || unit == 0) return in.chip.size;
    return in.chip.size / unit * unit;
}

// The first byte of [0, length) that is not FF on the chip, reading until one is found; -1 when
// all are. The read stops early, so a chip that is not erased costs one block.
struct BlankLook {
    Outcome outcome = Outcome::Completed;
    int64_t firstNotBlank = -1;
};
BlankLook LookForData(JobContext& ctx, OperationInputs& in, uint32_t length)
{
    BlankLook look;
    std::shared_ptr<std::vector<uint8_t>> known;
    ctx.onSession([&] { known = in.bench->knownChip.take(in.chip, in.adapter); });
    if (known) {
        const auto data = std::span<const uint8_t>(*known).first(length);
        const auto it = std::find_if(data.begin(), data.end(), [](uint8_t b) { return b != 0xFF; });
        look.firstNotBlank = it == data.end() ? -1 : it - data.begin();
        ctx.onSession([&] { in.bench->knownChip.remember(in.chip, in.adapter, known); });
        return look;
    }
    const uint32_t block = 65536;
    std::vector<uint8_t> bytes(std::min(block, length));
    ctx.log(Localized("Checking that the chip is erased...", "Проверка, что чип стёрт..."));
    ctx.beginOperation(Operation::BlankCheck, int(length / block + (length % block != 0)));
    StepProgress progress(ctx, block);
    for (uint32_t at = 0; at < length; at += block) {
        const uint32_t n = std::min(block, length - at);
        const family::Result result = in.driver->read(at, std::span(bytes).first(n), progress);
        if (!result) {
            if (result.failure().cause == family::Failure::Cause::Cancelled) {
                ctx.log(Localized("Writing terminated by user", "Программирование прервано пользователем"));
                look.outcome = ctx.fail(Outcome::Cancelled, PartlyWrittenLine(0, 0));
            } else {
                look.outcome = ctx.fail(
                    OutcomeOf(result.failure()),
                    FailureLine(Localized("Error reading at address", "Ошибка чтения по адресу"), result.failure()));
            }
            return look;
        }
        const auto it = std::find_if(bytes.begin(), bytes.begin() + n, [](uint8_t b) { return b != 0xFF; });
        if (it != bytes.begin() + n) {
            look.firstNotBlank = at + (it - bytes.begin());
            break;
        }
    }
    ctx.setProgress(0);
    return look;
}

} // namespace

Outcome CheckEditorHoldsTheChip(JobContext& ctx, OperationInputs& in)
{
    bool holds = false;
    ctx.onSession(
        [&] { holds = in.bench->document.bytes().size() >= in.chip.size && in.chip.size <= in.image.size(); });
    if (holds) return Outcome::Completed;
    return ctx.fail(Outcome::BadInput, Localized("The buffer holds fewer bytes than the chip; nothing was done.",
                                                 "В буфере меньше байтов, чем в чипе; ничего не сделано."));
}

Outcome TakeEditorBytes(JobContext& ctx, OperationInputs& in)
{
    bool copied = false;
    ctx.onSession([&] {
        const std::span<const uint8_t> editor = in.bench->document.bytes();
        copied = editor.size() >= in.chip.size && in.chip.size <= in.image.size();
        if (copied) std::copy_n(editor.begin(), in.chip.size, in.image.begin());
    });
    if (copied) return Outcome::Completed;
    // Past what the editor holds the image has stale bytes: never write them out.
    return ctx.fail(Outcome::BadInput, Localized("The buffer holds fewer bytes than the chip; nothing was done.",
                                                 "В буфере меньше байтов, чем в чипе; ничего не сделано."));
}

Outcome EnsureErased(JobContext& ctx, OperationInputs& in, WriteMode mode)
{
    if (!in.chip.needsErase) return Outcome::Completed;
    const BlankLook look = LookForData(ctx, in, ProgramLength(in));
    if (look.outcome != Outcome::Completed) return look.outcome;
    if (look.firstNotBlank < 0) return Outcome::Completed;
    if (mode == WriteMode::Full) {
        ctx.log(Localized("The chip is not erased (data at the address %1): it is erased first.",
                          "Чип не стёрт (данные по адресу %1): сначала он стирается.")
                    .arg(look.firstNotBlank));
    } else {
        const Prompt prompt{Question::EraseBeforeWrite,
                            Localized("The chip is not erased. Erase it first?", "Чип не стёрт. Стереть его сначала?"),
                            Localized("Chip not erased", "Чип не стёрт"), true};
        if (!ctx.confirm(prompt))
            return ctx.fail(Outcome::Refused,
                            Localized("The chip is not erased (data at the address %1); nothing was written.",
                                      "Чип не стёрт (данные по адресу %1); ничего не записано.")
                                .arg(look.firstNotBlank));
    }
    return EraseChip(ctx, in);
}

Outcome ProgramChip(JobContext& ctx, OperationInputs& in)
{
    const uint32_t unit = ProgramUnit(in);
    const uint32_t length = ProgramLength(in);
    ctx.onSession([&] { in.bench->knownChip.forget(); });
    ctx.beginOperation(Operation::Write, int(unit == 0 ? 0 : (length + unit - 1) / unit));
    StepProgress progress(ctx, unit);
    const auto start = std::chrono::steady_clock::now();
    const family::Result result = in.driver->program(0, in.image.first(length), progress);
    float seconds = SecondsSince(start);
    if (!result) {
        const family::Failure& failure = result.failure();
        if (failure.cause == family::Failure::Cause::Cancelled) {
            ctx.setProgress(0);
            ctx.log(Localized("Writing terminated by user", "Программирование прервано пользователем"));
            ctx.log(PartlyWrittenLine(0, failure.address));
            return Outcome::Cancelled;
        }
        const QString line = in.chip.isSpi() ? Localized("Error writing at address", "Ошибка записи по адресу")
                                             : Localized("Error in block", "Ошибка в блоке");
        ctx.fail(OutcomeOf(failure), FailureLine(line, failure));
        ctx.log(PartlyWrittenLine(0, failure.address), LogColour::Red);
        return ctx.outcome();
    }
    ctx.setProgress(0);
    ctx.onSession([&] {
        in.bench->writeReport.pages = unit == 0 ? 0 : (length + unit - 1) / unit;
        in.bench->writeReport.pagesProgrammed = in.bench->writeReport.pages;
    });
    if (in.settings.verify) {
        ctx.log(Localized("\nVerifying...\n", "\nПроверка записи...\n") + HintA(in));
        float verifySeconds = 0;
        if (const Outcome verified = ReadChip(ctx, in, ReadPurpose::Verify, &verifySeconds);
            verified != Outcome::Completed)
            return verified;
        seconds += verifySeconds;
    }
    ctx.log(Localized("Writing completed,\nWriting time ", "Программирование завершено,\nВремя программирования ") +
            Seconds(seconds));
    return Outcome::Completed;
}

Outcome FastWriteChip(JobContext& ctx, OperationInputs& in)
{
    static const TextPair FastWritingText{"\nFast writing...", "\nБыстрое программирование..."};
    static const TextPair FastWritingDoneText{"Fast writing completed,\nwriting time ",
                                              "Быстрое программирование завершено,\nвремя программирования "};
    ctx.log(Localized(FastWritingText));
    ctx.onSession([&] { in.bench->knownChip.forget(); });
    family::NoProgress quiet;
    auto start = std::chrono::steady_clock::now();
    if (const family::Result result = in.driver->program(0, in.image.first(in.chip.size), quiet); !result) {
        ctx.fail(OutcomeOf(result.failure()),
                 FailureLine(Localized("Error in block", "Ошибка в блоке"), result.failure()));
        ctx.log(PartlyWrittenLine(0, result.failure().address), LogColour::Red);
        return ctx.outcome();
    }
    float seconds = SecondsSince(start);
    if (in.settings.verify) {
        // Without acknowledgements nothing tells a failed page: only the read-back does.
        ctx.log(Localized("\nVerifying...\n", "\nПроверка записи...\n"));
        std::vector<uint8_t> back(in.chip.size);
        start = std::chrono::steady_clock::now();
        if (const family::Result result = in.driver->read(0, back, quiet); !result)
            return ctx.fail(OutcomeOf(result.failure()),
                            FailureLine(Localized("Error in block", "Ошибка в блоке"), result.failure()));
        seconds += SecondsSince(start);
        if (const Outcome verified = VerifyAgainstEditor(ctx, in, back); verified != Outcome::Completed)
            return verified;
    }
    ctx.log(Localized(FastWritingDoneText) + Seconds(seconds));
    return Outcome::Completed;
}

Outcome CheckStatusBeforeErase(JobContext& ctx, OperationInputs& in)
{
    auto* spi = dynamic_cast<spi25::Spi25Driver*>(in.driver.get());
    if (!spi) return Outcome::Completed;
    spi25::StatusRead read = spi25::ReadStatusRegisters(spi->spi(), in.chip.statusRegisters);
    if (read.failed) return ctx.fail(Outcome::IoFailure, Localized(spitext::StatusReadError));
    read.values[0] &= uint8_t(~in.chip.eraseCheckIgnoredBits);
    if (std::all_of(read.values.begin(), read.values.end(), [](uint8_t v) { return v == 0; }))
        return Outcome::Completed;
    const Prompt prompt{Question::EraseWithStatus, Localized(spitext::EraseStatusWarning),
                        Localized(spitext::EraseStatusWarningCaption)};
    if (ctx.confirm(prompt)) return Outcome::Completed;
    return ctx.fail(Outcome::Refused, Localized("Nothing was erased.", "Ничего не стёрто."));
}

Outcome EraseChip(JobContext& ctx, OperationInputs& in)
{
    ctx.onSession([&] { in.bench->knownChip.forget(); });
    const bool byWriting = !in.chip.hasChipErase;
    const uint32_t unit = ProgramUnit(in);
    ctx.beginOperation(Operation::Erase, byWriting ? int(unit == 0 ? 0 : in.chip.size / unit) : 100);
    ctx.log(Localized(spitext::Erasing) + HintB(in));
    StepProgress progress(ctx, byWriting ? unit : 1);
    const family::Result result = in.driver->erase(progress);
    if (!result) {
        if (result.failure().cause == family::Failure::Cause::Cancelled) {
            ctx.setProgress(0);
            ctx.log(Localized("Erasing terminated by user.", "Стирание прервано пользователем."));
            ctx.log(byWriting ? PartlyWrittenLine(0, result.failure().address)
                              : Localized("The chip goes on erasing by itself.", "Чип продолжает стирание сам."));
            return Outcome::Cancelled;
        }
        return ctx.fail(OutcomeOf(result.failure()), Localized("Erase error", "Ошибка стирания") +
                                                         QStringLiteral(": ") + CauseText(result.failure()));
    }
    ctx.setProgress(0);
    ctx.onSession([&] { in.bench->writeReport.chipErased = true; });
    // An erase is true of the chip only once every byte reads FF.
    ctx.log(Localized(spitext::CheckingForBlank) + HintB(in));
    return ReadChip(ctx, in, ReadPurpose::EraseCheck);
}

} // namespace ops
