#include "session/operations/ReadSteps.h"

#include "buffer/CheckSum.h"
#include "buffer/DiffList.h"
#include "i2c24/I2c24Driver.h"
#include "session/Document.h"
#include "session/DumpFileName.h"
#include "session/ElapsedText.h"
#include "session/KnownChipImage.h"
#include "session/Language.h"
#include "session/operations/FailureText.h"
#include "spi25/Spi25Driver.h"
#include "spi25/SpiText.h"

#include <algorithm>
#include <chrono>

namespace ops {
namespace {

const TextPair FastReadingText{"\nFast reading...", "\nБыстрое считывание..."};
const TextPair FastComparingText{"\nFast Comparing...", "\nБыстрое сравнение..."};
const TextPair FastReadingDoneText{"Fast reading complet,\nreading time ",
                                   "Быстрое считывание завершено,\nвремя считывания "};
const TextPair FastComparingDoneText{"Fast Comparing completed,\ncompare time ",
                                     "Быстрое сравнение завершено,\nвремя сравнения "};

float SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<float>(std::chrono::steady_clock::now() - start).count();
}

QString Seconds(float seconds)
{
    return FormatSeconds(seconds) + QStringLiteral(" sec.");
}

// The first address that does not hold FF, or -1.
int64_t FirstNotBlank(std::span<const uint8_t> data)
{
    const auto notBlank = std::find_if(data.begin(), data.end(), [](uint8_t b) { return b != 0xFF; });
    return notBlank == data.end() ? -1 : notBlank - data.begin();
}

Operation OperationOf(ReadPurpose purpose)
{
    switch (purpose) {
    case ReadPurpose::Read: return Operation::Read;
    case ReadPurpose::Compare:
    case ReadPurpose::Verify: return Operation::Compare;
    case ReadPurpose::BlankCheck:
    case ReadPurpose::EraseCheck: return Operation::BlankCheck;
    }
    return Operation::Read;
}

// The editor gets the chip's bytes; with the BRG format an SPI chip's status registers follow them.
void LoadEditor(const OperationInputs& in, std::span<const uint8_t> data)
{
    in.bench->document.showInEditor(data, in.settings.autosaveFormat == 1 && in.chip.isSpi());
}

// Compare: the differences between the editor and the chip, shown in the grid and counted in red
// when there are some.
Outcome CompareWithEditor(JobContext& ctx, const OperationInputs& in, std::span<const uint8_t> data)
{
    std::size_t count = 0;
    ctx.onSession([&] {
        in.bench->showDifferences(false);
        in.bench->differences.Build(in.bench->document.bytes(), data);
        count = in.bench->differences.size();
        if (count > 0) in.bench->showDifferences(true);
    });
    ctx.log(Localized("Differences ", "Несовпадений ") + QString::number(count),
            count == 0 ? LogColour::Navy : LogColour::Red);
    if (count > 0) ctx.note(Outcome::Mismatch);
    return ctx.outcome();
}

void SaveAutomaticDump(JobContext& ctx, const OperationInputs& in)
{
    const QString extension = in.settings.autosaveFormat == 1 ? QStringLiteral(".BRG") : QStringLiteral(".BIN");
    std::error_code error;
    QString path;
    ctx.onSession([&] {
        path = AutoDumpPath(in.settings.dumpDir, QString::fromStdString(in.chip.name), extension);
        error = in.bench->document.saveEditor(path);
    });
    if (error)
        ctx.fail(Outcome::IoFailure, Localized("Cannot save the dump file ", "Не удалось сохранить файл дампа ") +
                                         path + QStringLiteral(": ") + QString::fromStdString(error.message()));
}

} // namespace

uint32_t ReadUnit(const chipdb::Chip& chip)
{
    return chip.isSpi() ? spi25::ReadChunk(chip.size) : i2c24::ReadBlock;
}

void ShowCheckSum(JobContext& ctx, const OperationInputs& in, bool afterRead)
{
    QString text;
    ctx.onSession([&] {
        in.bench->setCheckSum(QString());
        const std::span<const uint8_t> bytes = in.bench->document.bytes();
        const CheckSumResult result =
            CheckSum(bytes.first(std::min<std::size_t>(in.chip.size, bytes.size())), !afterRead, false);
        text = result.text.en.empty() ? QString() : Localized(result.text);
        in.bench->setCheckSum(text);
    });
    if (!text.isEmpty()) ctx.log(text);
}

Outcome VerifyAgainstEditor(JobContext& ctx, const OperationInputs& in, std::span<const uint8_t> chipImage)
{
    std::size_t count = 0;
    uint32_t first = 0;
    ctx.onSession([&] {
        const std::span<const uint8_t> written = in.bench->document.bytes();
        DiffList& diffs = in.bench->differences;
        diffs.Build(written.first(std::min<std::size_t>(in.chip.size, written.size())),
                    chipImage.first(std::min<std::size_t>(in.chip.size, chipImage.size())));
        count = diffs.size();
        if (count > 0) {
            first = diffs.address(0);
            in.bench->showDifferences(true);
        }
    });
    if (count == 0) return Outcome::Completed;
    return ctx.fail(Outcome::Mismatch,
                    Localized("Verify error: %1 bytes differ, the first at the address:",
                              "Ошибка проверки: не совпадают %1 байт, первый по адресу:")
                        .arg(count),
                    first);
}

Outcome ReadChip(JobContext& ctx, OperationInputs& in, ReadPurpose purpose, float* seconds)
{
    const chipdb::Chip& chip = in.chip;
    if (chip.isSpi() && chip.size == 0) return ctx.fail(Outcome::BadInput, Localized(spitext::ChipSizeZero));
    if (chip.size > in.image.size())
        return ctx.fail(Outcome::BadInput, Localized("The chip is larger than the buffer; nothing was done.",
                                                     "Чип больше буфера; ничего не сделано."));
    const uint32_t unit = ReadUnit(chip);
    // A remainder below one unit is not read: such a chip is never known whole.
    const uint32_t length = chip.size / unit * unit;
    ctx.beginOperation(OperationOf(purpose), int(chip.size / unit));
    if (purpose == ReadPurpose::Read || purpose == ReadPurpose::Compare || purpose == ReadPurpose::BlankCheck)
        ctx.onSession([&] { in.bench->setCheckSum(QString()); });

    StepProgress progress(ctx, unit);
    const auto start = std::chrono::steady_clock::now();
    const family::Result result = in.driver->read(0, in.image.first(length), progress);
    const float elapsed = SecondsSince(start);
    if (seconds) *seconds = elapsed;
    if (!result) {
        const family::Failure& failure = result.failure();
        // A failure leaves the bar where it stopped; a cancel sets it back.
        if (failure.cause == family::Failure::Cause::Cancelled) {
            ctx.setProgress(0);
            ctx.note(Outcome::Cancelled);
            switch (purpose) {
            case ReadPurpose::Verify:
                ctx.log(Localized("Verifying terminated by user: the chip was written but not checked",
                                  "Проверка прервана пользователем: чип записан, но не проверен"));
                break;
            case ReadPurpose::EraseCheck:
                ctx.log(Localized("Blank check terminated by user: the chip was erased but not checked",
                                  "Проверка прервана пользователем: чип стёрт, но не проверен"));
                break;
            case ReadPurpose::BlankCheck:
                ctx.log(Localized("Blank check terminated by user", "Проверка прервана пользователем"));
                break;
            case ReadPurpose::Read:
            case ReadPurpose::Compare:
                ctx.log(Localized("Reading terminated by user", "Считывание прервано пользователем"));
                break;
            }
            return Outcome::Cancelled;
        }
        const QString line = chip.isSpi() ? Localized("Error reading at address", "Ошибка чтения по адресу")
                                          : Localized("Error in block", "Ошибка в блоке");
        return ctx.fail(OutcomeOf(failure), FailureLine(line, failure));
    }

    ctx.setProgress(0);
    const std::span<const uint8_t> data = in.image.first(chip.size);
    if (chip.isSpi() && length == chip.size)
        ctx.onSession([&] { in.bench->knownChip.remember(chip, in.adapter, data); });

    switch (purpose) {
    case ReadPurpose::Read: {
        ctx.log(Localized("Reading completed,\nreading time ", "Считывание завершено,\nвремя считывания ") +
                Seconds(elapsed));
        ctx.onSession([&] { LoadEditor(in, data); });
        ShowCheckSum(ctx, in, true);
        if (chip.isI2c() && i2c24::MirroredHalves(data))
            ctx.log(Localized("The upper half of the chip repeats its lower half: it may be a smaller part than the "
                              "selected %1 (its addresses wrap), or hold the same data twice.",
                              "Верхняя половина чипа повторяет нижнюю: это может быть микросхема меньше выбранной "
                              "%1 (адреса повторяются) или одинаковые данные, записанные дважды.")
                        .arg(QString::fromStdString(chip.name)));
        if (in.settings.automaticDumps) SaveAutomaticDump(ctx, in);
        return ctx.outcome();
    }
    case ReadPurpose::Compare:
        ctx.log(Localized("Comparing completed,\ncompare time ", "Сравнение завершено,\nвремя сравнеия ") +
                Seconds(elapsed));
        CompareWithEditor(ctx, in, data);
        ShowCheckSum(ctx, in, false);
        return ctx.outcome();
    case ReadPurpose::BlankCheck: {
        ctx.log(Localized("Blank check completed,\nchecking time ", "Проверка завершена,\nвремя проверки ") +
                Seconds(elapsed));
        if (const int64_t notBlank = FirstNotBlank(data); notBlank >= 0)
            return ctx.fail(Outcome::Mismatch,
                            Localized("Blank check error at the address:", "Ошибка проверки по адресу:"), notBlank);
        return Outcome::Completed;
    }
    case ReadPurpose::Verify: return VerifyAgainstEditor(ctx, in, data);
    case ReadPurpose::EraseCheck:
        if (const int64_t notBlank = FirstNotBlank(data); notBlank >= 0)
            return ctx.fail(Outcome::Mismatch,
                            Localized("Erase error: the chip is not blank at the address:",
                                      "Ошибка стирания: чип не чист по адресу:"),
                            notBlank);
        ctx.log(Localized("Erasing completed.", "Стирание завершено."));
        return Outcome::Completed;
    }
    return Outcome::Completed;
}

Outcome FastReadChip(JobContext& ctx, OperationInputs& in, bool compare)
{
    const chipdb::Chip& chip = in.chip;
    ctx.beginOperation(compare ? Operation::Compare : Operation::Read, int(chip.size / i2c24::ReadBlock));
    ctx.onSession([&] { in.bench->setCheckSum(QString()); });
    ctx.log(Localized(compare ? FastComparingText : FastReadingText));
    family::NoProgress quiet;
    const auto start = std::chrono::steady_clock::now();
    const family::Result result = in.driver->read(0, in.image.first(chip.size), quiet);
    const float elapsed = SecondsSince(start);
    if (result) ctx.log(Localized(compare ? FastComparingDoneText : FastReadingDoneText) + Seconds(elapsed));
    const std::span<const uint8_t> data = in.image.first(chip.size);
    if (compare)
        CompareWithEditor(ctx, in, data);
    else
        ctx.onSession([&] { LoadEditor(in, data); });
    ctx.setProgress(0);
    ShowCheckSum(ctx, in, !compare);
    return ctx.outcome();
}

} // namespace ops
