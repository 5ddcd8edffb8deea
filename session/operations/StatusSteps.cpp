#include "session/operations/StatusSteps.h"

#include "session/Document.h"
#include "session/KnownChipImage.h"
#include "session/Language.h"
#include "session/operations/ChipChecks.h"
#include "spi25/Spi25Driver.h"
#include "spi25/SpiIdentify.h"
#include "spi25/SpiLocks.h"
#include "spi25/SpiStatusRegisters.h"

namespace ops {
namespace {

spi25::Spi25Driver* Spi(const OperationInputs& in)
{
    return dynamic_cast<spi25::Spi25Driver*>(in.driver.get());
}

void Print(JobContext& ctx, const SpiLog& log)
{
    for (const LogLine& line : log) {
        if (line.error)
            ctx.fail(Outcome::IoFailure, Localized(line.text));
        else
            ctx.log(Localized(line.text));
    }
}

QString Registers(const spi25::StatusValues& values, int count)
{
    return QString::fromStdString(spi25::StatusRegisterText(values, count));
}

} // namespace

Job IdentifyJob(Inputs in)
{
    Job job;
    job.then("identify", [in](JobContext& ctx) {
        if (auto* spi = Spi(*in)) {
            const SpiLog lines = spi25::SpiIdLines(spi->spi());
            Print(ctx, lines);
            family::Identity identity;
            if (in->driver->identify(identity) && !identity.answered)
                ctx.log(Localized("No chip answers: the socket is empty or the chip is not powered.",
                                  "Чип не отвечает: панель пуста или на чип не подано питание."),
                        LogColour::Red);
        }
        return ctx.outcome();
    });
    return job;
}

Job UniqueIdJob(Inputs in)
{
    Job job;
    job.then("unique id", [in](JobContext& ctx) {
        if (auto* spi = Spi(*in)) Print(ctx, {spi25::UniqueIdLine(spi->spi())});
        return ctx.outcome();
    });
    return job;
}

Job ReadStatusJob(Inputs in, int& registersRead)
{
    Job job;
    job.then("read status",
             [in, &registersRead](JobContext& ctx) { return ReadStatusIntoShadow(ctx, *in, true, &registersRead); });
    return job;
}

Job WriteStatusJob(Inputs in, std::array<uint8_t, 3> registers)
{
    Job job;
    job.then("write status", [in, registers](JobContext& ctx) {
        spi25::Spi25Driver* spi = Spi(*in);
        if (!spi) return Outcome::Completed;
        const int count = in->chip.statusRegisters;
        const spi25::StatusRead before = spi25::ReadStatusRegisters(spi->spi(), count);
        if (before.failed) return ctx.fail(Outcome::IoFailure, Localized(spitext::StatusReadError));
        const std::vector<TextPair> locks = spi25::LockConsequences(in->chip, before.values, registers);
        if (!locks.empty()) {
            QString consequences;
            for (const TextPair& lock : locks) consequences += QStringLiteral("\n- ") + Localized(lock);
            const Prompt prompt{Question::LockStatusRegister,
                                Localized("Writing status registers %1 cannot be undone by the program:%2\nWrite them?",
                                          "Запись регистров статуса %1 программа не сможет отменить:%2\nЗаписать?")
                                    .arg(Registers(registers, count), consequences),
                                Localized("Irreversible protection", "Необратимая защита"), false};
            if (!ctx.confirm(prompt))
                return ctx.fail(Outcome::Refused,
                                Localized("The status registers were not written: they would lock the chip.",
                                          "Регистры статуса не записаны: они заблокировали бы чип."));
        }
        ctx.onSession([&] { in->bench->knownChip.forget(); });
        const spi25::StatusWrite write =
            spi25::WriteStatusRegisters(spi->spi(), registers, count, in->chip.statusWriteNeedsEwsr);
        for (int i = 0; i < 3; ++i)
            if (write.failed[std::size_t(i)])
                ctx.fail(Outcome::IoFailure, Localized(i < 2 ? spitext::StatusWriteError : spitext::StatusWrite3Error));
        if (write.attempted && ctx.outcome() == Outcome::Completed)
            ctx.log(Localized("Status registers written: ", "Регистры статуса записаны: ") +
                    Registers(registers, count));
        return ctx.outcome();
    });
    return job;
}

Job UnprotectJob(Inputs in, bool& eraseFollows)
{
    Job job;
    job.then("unprotect", [in, &eraseFollows](JobContext& ctx) {
        eraseFollows = UnprotectAndReport(ctx, *in);
        return ctx.outcome();
    });
    return job;
}

} // namespace ops
