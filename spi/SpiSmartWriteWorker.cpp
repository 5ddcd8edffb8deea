#include "spi/SpiSmartWrite.h"

#include "adapter/Uch_spi.h"
#include "chipdb/ChipKind.h"
#include "spi/SpiRangeAccess.h"
#include "spi/SpiWorkers.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace {

constexpr uint32_t ProgressRegion = SmartWriteSector;

uint32_t Regions(uint32_t size)
{
    return (size + ProgressRegion - 1) / ProgressRegion;
}

// Steps the bar for every 4 KiB region of a phase passed so far.
class PhaseProgress {
public:
    PhaseProgress(WorkerContext& context, uint32_t size) : context_(context), size_(size) {}
    void reach(uint32_t address)
    {
        const uint32_t regions = address >= size_ ? Regions(size_) : address / ProgressRegion;
        for (; done_ < regions; ++done_) context_.step();
    }
    void end() { reach(size_); }

private:
    WorkerContext& context_;
    uint32_t size_;
    uint32_t done_ = 0;
};

class SmartWriter {
public:
    SmartWriter(Ch341Library& library, const WorkerParams& params, SpiSmartWriteJob& job, WorkerContext& context)
        : library_(library), job_(job), context_(context), chip_(*job.chip), target_(params.buffer, params.size),
          size_(params.size), mode_(static_cast<SpiAddressMode>(chipdb::spiAddressModeOf(params.chipText))),
          sst_(chipdb::spiProgrammingOf(params.chipText) == chipdb::SpiProgramming::AutoIncrementWord),
          geometry_(SpiSmartWriteGeometry(params.chipText, params.size, params.pageSize))
    {
    }

    void run()
    {
        if (size_ == 0 || chip_.size() < size_ || geometry_.programUnit == 0) return stop();
        if (!library_.CH341SetStream(AdapterIndex, SpiStreamTransfer) || !SPIPrepareRead(library_, mode_))
            return context_.fault(0);
        context_.startClock();
        if (job_.readFirst && !readAll()) return;
        job_.plan = PlanSmartWrite(chip_, target_, geometry_);
        job_.units = size_ / geometry_.programUnit;
        job_.blocks = geometry_.eraseBlock == 0 ? 0 : size_ / geometry_.eraseBlock;
        if (!write()) return;
        if (job_.readBack && !readBack()) return;
        context_.finishTimed(WriteFinished);
    }

private:
    // A cancel, or a fault at `address`: the chip is left write-disabled.
    void stop(std::optional<uint32_t> failedAt = std::nullopt)
    {
        uint8_t writeDisable = 0x04;
        library_.CH341StreamSPI4(AdapterIndex, SpiChipSelect0, std::span<uint8_t>(&writeDisable, 1));
        if (failedAt) return context_.fault(int32_t(*failedAt));
        context_.finish(WriteCancelled);
    }

    bool readAll()
    {
        job_.phase = SpiSmartWriteJob::Phase::Read;
        PhaseProgress progress(context_, size_);
        for (uint32_t address = 0; address < size_; address += ProgressRegion) {
            if (context_.cancelRequested()) return stop(), false;
            const uint32_t length = std::min(ProgressRegion, size_ - address);
            if (!SPIReadRange(library_, mode_, address, std::span(chip_).subspan(address, length), SpiReadChunkLimit))
                return context_.fault(int32_t(address)), false;
            progress.reach(address + length);
        }
        return true;
    }

    bool write()
    {
        PhaseProgress progress(context_, size_);
        bool firstErase = true;
        for (const SmartWriteStep& step : job_.plan.steps) {
            if (context_.cancelRequested()) return stop(), false;
            if (step.kind == SmartWriteStep::Kind::Program) {
                job_.phase = SpiSmartWriteJob::Phase::Program;
                if (!program(step.address, step.length)) return stop(step.address), false;
            } else {
                job_.phase = SpiSmartWriteJob::Phase::Erase;
                if (!erase(step)) return stop(step.address), false;
                // A chip without 4 KiB sectors ignores the sector erase: seen at the first one, the
                // chip is erased whole and written again.
                if (std::exchange(firstErase, false) && step.length < size_ && !erased(step))
                    return eraseWholeAndWrite(progress);
            }
            progress.reach(step.address);
        }
        progress.end();
        return true;
    }

    bool erase(const SmartWriteStep& step)
    {
        if (step.length >= size_) return SPIEraseChipAndWait(library_, SpiEraseTimeout(size_));
        return SPIEraseSector(library_, step.address, mode_);
    }

    bool erased(const SmartWriteStep& step)
    {
        std::vector<uint8_t> sector(step.length);
        if (!SPIReadRange(library_, mode_, step.address, sector, SpiMaxReadBlock)) return false;
        return std::all_of(sector.begin(), sector.end(), [](uint8_t b) { return b == 0xFF; });
    }

    bool eraseWholeAndWrite(PhaseProgress& progress)
    {
        job_.sectorEraseRefused = true;
        if (!SPIEraseChipAndWait(library_, SpiEraseTimeout(size_))) return stop(0), false;
        std::fill(chip_.begin(), chip_.begin() + size_, 0xFF);
        job_.plan = PlanSmartWrite(chip_, target_, geometry_);
        job_.plan.erases = 1;
        job_.plan.touched = {{0, size_}};
        job_.phase = SpiSmartWriteJob::Phase::Program;
        for (const SmartWriteStep& step : job_.plan.steps) {
            if (context_.cancelRequested()) return stop(), false;
            if (!program(step.address, step.length)) return stop(step.address), false;
            progress.reach(step.address);
        }
        progress.end();
        return true;
    }

    bool program(uint32_t address, uint32_t length)
    {
        const std::span<const uint8_t> data(target_.subspan(address, length));
        if (sst_) return SPIProgramAAI(library_, address, data.first<SpiAaiBlock>());
        return SPIProgramPage(library_, address, data, mode_, &polls_);
    }

    bool readBack()
    {
        job_.phase = SpiSmartWriteJob::Phase::ReadBack;
        PhaseProgress progress(context_, size_);
        for (const SmartWriteRange& range : job_.plan.touched) {
            for (uint32_t address = range.address; address < range.address + range.length;) {
                if (context_.cancelRequested()) return context_.finish(WriteCancelled), false;
                const uint32_t length =
                    std::min(ProgressRegion - address % ProgressRegion, range.address + range.length - address);
                if (!SPIReadRange(library_, mode_, address, std::span(chip_).subspan(address, length),
                                  SpiReadChunkLimit))
                    return context_.fault(int32_t(address)), false;
                address += length;
                progress.reach(address);
            }
        }
        progress.end();
        return true;
    }

    Ch341Library& library_;
    SpiSmartWriteJob& job_;
    WorkerContext& context_;
    std::vector<uint8_t>& chip_;
    std::span<const uint8_t> target_;
    uint32_t size_;
    SpiAddressMode mode_;
    bool sst_;
    SmartWriteGeometry geometry_;
    SpiPagePolls polls_;
};

} // namespace

void SPISmartWriteThread(Ch341Library& library, const WorkerParams& params, SpiSmartWriteJob& job,
                         WorkerContext& context)
{
    if (params.buffer == nullptr || !job.chip) return context.finish(WriteCancelled);
    SmartWriter(library, params, job, context).run();
}

WorkerBody SpiSmartWriteWorker(Ch341Library& library, std::shared_ptr<SpiSmartWriteJob> job)
{
    return [&library, job](const WorkerParams& params, WorkerContext& context) {
        SPISmartWriteThread(library, params, *job, context);
    };
}

uint32_t SpiSmartWriteSteps(uint32_t size, bool readFirst, bool readBack)
{
    return Regions(size) * (1 + (readFirst ? 1 : 0) + (readBack ? 1 : 0));
}
