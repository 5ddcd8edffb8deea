#include "session/operations/SmartWrite.h"

#include "session/ElapsedText.h"
#include "session/KnownChipImage.h"
#include "session/Language.h"
#include "session/operations/FailureText.h"
#include "session/operations/ReadSteps.h"
#include "spi25/SmartWritePlan.h"
#include "spi25/Spi25Driver.h"

#include <algorithm>
#include <chrono>
#include <vector>

namespace ops {
namespace {

constexpr uint32_t Region = SmartWriteSector; // the progress unit of every phase

uint32_t Regions(uint32_t size)
{
    return (size + Region - 1) / Region;
}

class SmartWriter {
public:
    SmartWriter(JobContext& ctx, OperationInputs& in, spi25::Spi25Driver& driver)
        : ctx_(ctx), in_(in), driver_(driver), size_(in.chip.size), geometry_(SmartWriteGeometryOf(in.chip))
    {
    }

    Outcome run()
    {
        std::shared_ptr<std::vector<uint8_t>> known;
        ctx_.onSession([&] { known = in_.bench->knownChip.take(in_.chip, in_.adapter); });
        const bool readFirst = known == nullptr;
        readBack_ = in_.settings.verify;
        if (readFirst) {
            chip_ = std::make_shared<std::vector<uint8_t>>(size_);
            ctx_.log(Localized("Smart write: the chip is read first to find what differs.",
                               "Умная запись: сначала чип считывается, чтобы найти отличия."));
        } else {
            chip_ = std::move(known);
            ctx_.log(Localized("Smart write: the chip's contents are known from the last read or check, "
                               "nothing is read first.",
                               "Умная запись: содержимое чипа известно по последнему чтению или проверке, "
                               "чип не считывается."));
        }
        ctx_.beginOperation(Operation::Write, int(Regions(size_) * (1 + (readFirst ? 1 : 0) + (readBack_ ? 1 : 0))));
        const auto start = std::chrono::steady_clock::now();
        if (readFirst && readAll() != Outcome::Completed) return ctx_.outcome();
        plan_ = PlanSmartWrite(*chip_, in_.image.first(size_), geometry_);
        if (write() != Outcome::Completed) return ctx_.outcome();
        if (readBack_ && readBackTouched() != Outcome::Completed) return ctx_.outcome();
        const float seconds = std::chrono::duration<float>(std::chrono::steady_clock::now() - start).count();
        ctx_.setProgress(0);
        summarize();
        if (readBack_) {
            if (VerifyAgainstEditor(ctx_, in_, *chip_) != Outcome::Completed) return ctx_.outcome();
            // Every byte it touched was read back and the rest was known: the chip holds the editor's bytes.
            ctx_.onSession([&] { in_.bench->knownChip.remember(in_.chip, in_.adapter, chip_); });
        }
        ctx_.log(
            Localized("Writing completed,\nWriting time ", "Программирование завершено,\nВремя программирования ") +
            FormatSeconds(seconds) + QStringLiteral(" sec."));
        return Outcome::Completed;
    }

private:
    // A cancel or a failure while the chip was being changed: the chip is left write-disabled by the
    // driver; the log says what the chip now holds.
    Outcome stopped(const family::Failure& failure, bool reading)
    {
        ctx_.setProgress(0);
        if (failure.cause == family::Failure::Cause::Cancelled) {
            if (phase_ == Phase::ReadBack)
                ctx_.log(Localized("Verifying terminated by user: the chip was written but not checked",
                                   "Проверка прервана пользователем: чип записан, но не проверен"));
            else
                ctx_.log(Localized("Writing terminated by user", "Программирование прервано пользователем"));
            if (phase_ == Phase::Write) ctx_.log(changedLine());
            ctx_.note(Outcome::Cancelled);
            return Outcome::Cancelled;
        }
        const QString line = reading ? Localized("Error reading at address", "Ошибка чтения по адресу")
                                     : Localized("Error writing at address", "Ошибка записи по адресу");
        ctx_.fail(OutcomeOf(failure), FailureLine(line, failure));
        if (phase_ == Phase::Write) ctx_.log(changedLine(), LogColour::Red);
        return ctx_.outcome();
    }

    QString changedLine() const
    {
        if (erasedSomething_ && programmedTo_ == 0)
            return Localized("Sectors were erased; nothing was programmed.", "Секторы стёрты; ничего не записано.");
        return PartlyWrittenLine(programmedFrom_, programmedTo_);
    }

    void reach(uint32_t phaseBase, uint32_t address)
    {
        const uint32_t regions = address >= size_ ? Regions(size_) : address / Region;
        ctx_.setProgress(int(phaseBase + regions));
    }

    Outcome readAll()
    {
        phase_ = Phase::Read;
        for (uint32_t address = 0; address < size_; address += Region) {
            const uint32_t length = std::min(Region, size_ - address);
            family::NoProgress quiet;
            if (ctx_.cancelRequested())
                return stopped(family::Failure{family::Failure::Cause::Cancelled, address}, true);
            if (const family::Result r = driver_.read(address, std::span(*chip_).subspan(address, length), quiet); !r)
                return stopped(r.failure(), true);
            reach(0, address + length);
        }
        phaseBase_ += Regions(size_);
        return Outcome::Completed;
    }

    Outcome program(uint32_t address, uint32_t length)
    {
        family::NoProgress quiet;
        const family::Result r = driver_.program(address, in_.image.subspan(address, length), quiet);
        if (!r) return stopped(r.failure(), false);
        programmedFrom_ = programmedTo_ == 0 ? address : std::min(programmedFrom_, address);
        programmedTo_ = std::max(programmedTo_, address + length);
        return Outcome::Completed;
    }

    bool erased(const SmartWriteStep& step)
    {
        std::vector<uint8_t> sector(step.length);
        family::NoProgress quiet;
        if (!driver_.read(step.address, sector, quiet)) return false;
        return std::all_of(sector.begin(), sector.end(), [](uint8_t b) { return b == 0xFF; });
    }

    Outcome write()
    {
        phase_ = Phase::Write;
        bool firstErase = true;
        for (const SmartWriteStep& step : plan_.steps) {
            if (ctx_.cancelRequested())
                return stopped(family::Failure{family::Failure::Cause::Cancelled, step.address}, false);
            family::NoProgress quiet;
            if (step.kind == SmartWriteStep::Kind::Program) {
                if (program(step.address, step.length) != Outcome::Completed) return ctx_.outcome();
            } else {
                const family::Result r = step.length >= size_ ? driver_.erase(quiet)
                                                              : driver_.eraseSectors(step.address, step.length, quiet);
                if (!r) return stopped(r.failure(), false);
                erasedSomething_ = true;
                // A chip without 4 KiB sectors ignores the sector erase: seen at the first one, the
                // chip is erased whole and written again.
                if (std::exchange(firstErase, false) && step.length < size_ && !erased(step))
                    return eraseWholeAndWrite();
            }
            reach(phaseBase_, step.address);
        }
        reach(phaseBase_, size_);
        phaseBase_ += Regions(size_);
        return Outcome::Completed;
    }

    Outcome eraseWholeAndWrite()
    {
        sectorEraseRefused_ = true;
        family::NoProgress quiet;
        if (const family::Result r = driver_.erase(quiet); !r) return stopped(r.failure(), false);
        std::fill(chip_->begin(), chip_->begin() + size_, 0xFF);
        plan_ = PlanSmartWrite(*chip_, in_.image.first(size_), geometry_);
        plan_.erases = 1;
        plan_.touched = {{0, size_}};
        for (const SmartWriteStep& step : plan_.steps) {
            if (ctx_.cancelRequested())
                return stopped(family::Failure{family::Failure::Cause::Cancelled, step.address}, false);
            if (program(step.address, step.length) != Outcome::Completed) return ctx_.outcome();
            reach(phaseBase_, step.address);
        }
        reach(phaseBase_, size_);
        phaseBase_ += Regions(size_);
        return Outcome::Completed;
    }

    Outcome readBackTouched()
    {
        phase_ = Phase::ReadBack;
        for (const SmartWriteRange& range : plan_.touched) {
            for (uint32_t address = range.address; address < range.address + range.length;) {
                if (ctx_.cancelRequested())
                    return stopped(family::Failure{family::Failure::Cause::Cancelled, address}, true);
                const uint32_t length = std::min(Region - address % Region, range.address + range.length - address);
                family::NoProgress quiet;
                const family::Result r = driver_.read(address, std::span(*chip_).subspan(address, length), quiet);
                if (!r) return stopped(r.failure(), true);
                address += length;
                reach(phaseBase_, address);
            }
        }
        return Outcome::Completed;
    }

    void summarize()
    {
        const uint32_t units = size_ / geometry_.programUnit;
        const uint32_t blocks = geometry_.eraseBlock == 0 ? 0 : size_ / geometry_.eraseBlock;
        if (sectorEraseRefused_)
            ctx_.log(Localized("The chip did not erase a 4 KiB sector: it was erased whole and written again.",
                               "Чип не стёр сектор 4 КиБ: он стёрт целиком и записан заново."));
        QString erased;
        if (sectorEraseRefused_ || (blocks == 1 && plan_.erases == 1))
            erased = Localized("the whole chip erased", "чип стёрт целиком");
        else if (blocks > 1)
            erased = Localized("%1 of %2 sectors erased", "стёрто секторов: %1 из %2").arg(plan_.erases).arg(blocks);
        else if (blocks == 1)
            erased = Localized("nothing erased", "ничего не стёрто");
        const QString programmed =
            Localized("%1 of %2 pages programmed", "записано страниц: %1 из %2").arg(plan_.programs).arg(units);
        ctx_.onSession([&] {
            WriteReport& report = in_.bench->writeReport;
            report.chipErased = sectorEraseRefused_ || (blocks == 1 && plan_.erases == 1);
            report.sectorsErased = blocks > 1 ? plan_.erases : 0;
            report.sectors = blocks > 1 ? blocks : 0;
            report.pagesProgrammed = plan_.programs;
            report.pages = units;
        });
        ctx_.log(Localized("Smart write: ", "Умная запись: ") +
                 (erased.isEmpty() ? programmed : erased + QStringLiteral(", ") + programmed));
    }

    enum class Phase { Read, Write, ReadBack };

    JobContext& ctx_;
    OperationInputs& in_;
    spi25::Spi25Driver& driver_;
    uint32_t size_;
    SmartWriteGeometry geometry_;
    std::shared_ptr<std::vector<uint8_t>> chip_;
    SmartWritePlan plan_;
    Phase phase_ = Phase::Read;
    uint32_t phaseBase_ = 0;
    bool readBack_ = true;
    bool sectorEraseRefused_ = false, erasedSomething_ = false;
    uint32_t programmedFrom_ = 0, programmedTo_ = 0;
};

} // namespace

Outcome SmartWriteChip(JobContext& ctx, OperationInputs& in)
{
    auto* driver = dynamic_cast<spi25::Spi25Driver*>(in.driver.get());
    if (!driver) return ctx.fail(Outcome::BadInput, QStringLiteral("smart write needs an SPI chip"));
    return SmartWriter(ctx, in, *driver).run();
}

} // namespace ops
