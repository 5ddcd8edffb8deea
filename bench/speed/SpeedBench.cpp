// What a user would wait for on the real adapter: every whole-chip operation of a few common
// chips, run by the real workers on the emulated CH341A at the RealAdapter pace, whose virtual
// clock predicts the real adapter's time without sleeping. Prints, per chip and operation, the
// predicted time and speed, host waits and USB packets per KiB, and the share of the model's
// device-bound rate reached (the time the adapter's SPI or I2C bus and the chip itself cannot
// avoid, with USB free: 1.00 would leave nothing to gain).
#include "adapter/ch341a/Ch341Device.h"
#include "adapter/Uch_spi.h"
#include "adapter/emulator/EmulatedCh341.h"
#include "i2c/IICReadThread.h"
#include "i2c/IICWriteThread.h"
#include "spi25/SmartWritePlan.h"
#include "spi/SpiSmartWrite.h"
#include "spi/SpiWorkers.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using Seconds = std::chrono::duration<double>;

class LastMessage final : public MessageSink {
public:
    void post(const OpMessage& message) override { last = message; }
    void send(const OpMessage& message) override { last = message; }
    OpMessage last;
};

struct Chip {
    const char* name;
    const char* kind;
    uint32_t size;
    uint16_t pageSize;
    const char* signature;
    double eraseSeconds;
    const char* maker;
};

// As in the chip database.
constexpr Chip Chips[] = {
    {"W25Q64FV", "ID_SPI1", 8u << 20, 256, "EF4017", 20, "WINBOND"},
    {"W25Q256FV", "ID_SPI24", 32u << 20, 256, "EF4019", 80, "WINBOND"},
    {"SST25VF016B", "ID_SPI3", 2u << 20, 256, "BF2541", 1, "SST"},
    {"24C256", "ID_24C256", 32768, 64, "", 0, "GENERIC"},
    {"24C1024", "ID_24C1024", 131072, 256, "", 0, "GENERIC"},
};

struct Bench {
    explicit Bench(const Chip& part)
        : chip(part), config(*MakeEmulatedChipConfig({part.name, part.kind, part.size, part.pageSize, part.signature,
                                                      part.eraseSeconds, part.maker}))
    {
        config.initialStatus = {0, 0, 0}; // unprotected, as after the user's unprotect
        emulator = std::make_shared<EmulatedCh341>(config, 1.0, AdapterPace::RealAdapter);
        device = std::make_unique<Ch341Device>(emulator);
        device->CH341OpenDevice(AdapterIndex);
        i2c = EmulatedFamilyOf(chip.kind) == EmulatedChipFamily::I2cEeprom;
        if (i2c) device->CH341SetStream(AdapterIndex, 1); // 100 kHz, the connection's default
    }

    // Runs one operation; prints its line and returns its time. `bound` is the device-bound time;
    // `body` tells whether the operation did what it should.
    double run(const char* operation, Seconds bound, const std::function<bool(WorkerContext&)>& body)
    {
        LastMessage sink;
        WorkerQueue queue;
        WorkerContext context(sink, queue);
        emulator->resetCounters();
        const Seconds start = emulator->clock().now();
        const bool ok = body(context);
        const double seconds = (Seconds(emulator->clock().now()) - start).count();
        const UsbCounters& c = emulator->counters();
        const double kib = chip.size / 1024.0;
        std::printf("| %-11s | %-13s | %9.2f | %7.1f | %9.2f | %11.1f | %8.2f |%s\n", chip.name, operation, seconds,
                    chip.size / seconds / 1000.0, double(c.roundTrips) / kib, double(c.outPackets + c.inPackets) / kib,
                    bound.count() / seconds, ok ? "" : " FAILED");
        return seconds;
    }

    const Chip& chip;
    EmulatedChipConfig config;
    std::shared_ptr<EmulatedCh341> emulator;
    std::unique_ptr<Ch341Device> device;
    bool i2c = false;
};

using Worker = void (*)(Ch341Library&, const WorkerParams&, WorkerContext&);

// Writes the image, then reads it back twice: the read, and the read the Compare command makes.
// Returns the time of the write and of the verify.
double writeAndRead(Bench& b, const WorkerParams& params, Worker write, Seconds writeBound, Worker read,
                    Seconds readBound)
{
    const std::span<uint8_t> image(params.buffer, params.size);
    const std::vector<uint8_t> written(image.begin(), image.end());
    double seconds = b.run("write", writeBound, [&](WorkerContext& c) {
        write(*b.device, params, c);
        return true;
    });
    for (const char* operation : {"read", "verify"}) {
        std::fill(image.begin(), image.end(), 0x00);
        const double taken = b.run(operation, readBound, [&](WorkerContext& c) {
            read(*b.device, params, c);
            return std::equal(written.begin(), written.end(), image.begin());
        });
        if (std::string(operation) == "verify") seconds += taken;
    }
    return seconds;
}

// The whole-chip write a smart write is measured against, and the smart write's two cases.
struct SmartFigures {
    const char* chip;
    double full, known, read;
};
std::vector<SmartFigures> smartFigures;

// The chip holds `image`; a smart write of it with every tenth 4 KiB sector changed (a bit that
// must rise, so the sector is erased), read back as after every write: once from the image the
// session knows, once with the compare read first.
void benchSmart(Bench& b, std::span<const uint8_t> image, double full)
{
    const Chip& chip = b.chip;
    std::vector<uint8_t> target(image.begin(), image.end());
    for (uint32_t sector = 0; sector < chip.size / SmartWriteSector; sector += 10)
        target[sector * SmartWriteSector + 100] ^= 0xFF;
    const WorkerParams params{chip.size, chip.pageSize, chip.kind, 0, target.data()};
    const SmartWritePlan plan =
        PlanSmartWrite(image, target, SpiSmartWriteGeometry(chip.kind, chip.size, chip.pageSize));
    const bool sst = std::string(chip.kind) == "ID_SPI3";
    const Seconds unitBound = sst ? (PaceModel::SpiByte * 3 + b.config.aaiWordTime) * (SpiAaiBlock / 2.0)
                                  : PaceModel::SpiByte * double(chip.pageSize) + b.config.pageProgramTime;
    uint64_t touched = 0;
    for (const SmartWriteRange& range : plan.touched) touched += range.length;
    const Seconds writeBound = Seconds(b.config.sectorEraseTime) * plan.erases + unitBound * plan.programs +
                               PaceModel::SpiByte * double(touched);
    const Seconds readBound = PaceModel::SpiByte * double(chip.size);

    double seconds[2] = {};
    for (const bool readFirst : {false, true}) {
        std::copy(image.begin(), image.end(), b.emulator->memory().begin());
        auto job = std::make_shared<SpiSmartWriteJob>();
        job->chip = std::make_shared<std::vector<uint8_t>>(
            readFirst ? std::vector<uint8_t>(chip.size) : std::vector<uint8_t>(image.begin(), image.end()));
        job->readFirst = readFirst;
        seconds[readFirst] = b.run(readFirst ? "smart, read" : "smart, known",
                                   writeBound + (readFirst ? readBound : Seconds(0)), [&](WorkerContext& c) {
                                       SPISmartWriteThread(*b.device, params, *job, c);
                                       return std::ranges::equal(b.emulator->memory(), target) && *job->chip == target;
                                   });
    }
    smartFigures.push_back({chip.name, full, seconds[0], seconds[1]});
}

void benchSpi(Bench& b, std::span<uint8_t> image)
{
    const Chip& chip = b.chip;
    const WorkerParams params{chip.size, chip.pageSize, chip.kind, 0, image.data()};
    const bool sst = std::string(chip.kind) == "ID_SPI3";
    const Seconds readBound = PaceModel::SpiByte * double(chip.size);
    const double pages = double(chip.size / chip.pageSize);
    const Seconds writeBound = sst ? (PaceModel::SpiByte * 3 + b.config.aaiWordTime) * (chip.size / 2.0)
                                   : (PaceModel::SpiByte * double(chip.pageSize) + b.config.pageProgramTime) * pages;
    const double erase = b.run("erase", b.config.chipEraseTime, [&](WorkerContext& c) {
        SPIEraseThread(*b.device, std::chrono::hours(1), c);
        return true;
    });
    const double full =
        erase + writeAndRead(b, params, sst ? SPIWriteSSTThread : SPIWriteThread, writeBound, SPIReadThread, readBound);
    benchSmart(b, image, full);
}

void benchI2c(Bench& b, std::span<uint8_t> image)
{
    const Chip& chip = b.chip;
    WorkerParams params;
    params.size = chip.size;
    params.pageSize = chip.pageSize;
    params.type = *I2cTypeOfKind(chip.kind);
    params.buffer = image.data();
    // 9 clocks per byte at 100 kHz.
    const Seconds bus(chip.size * double(PaceModel::I2cClocksPerByte) / PaceModel::I2cClockHz[1]);
    const double pages = double(chip.size / chip.pageSize);
    writeAndRead(b, params, IICWriteThread, bus + b.config.eepromWriteCycle * pages, IICReadThread, bus);
}

} // namespace

int main()
{
    std::printf("| chip        | op            | seconds   | KB/s    | waits/KiB | packets/KiB | of bound |\n");
    std::printf("|---|---|---:|---:|---:|---:|---:|\n");
    std::vector<uint8_t> image;
    for (const Chip& chip : Chips) {
        image.resize(chip.size);
        for (uint32_t i = 0; i < chip.size; ++i) image[i] = static_cast<uint8_t>(i * 31 + (i >> 8) * 7 + 3);
        Bench bench(chip);
        if (bench.i2c) {
            benchI2c(bench, image);
        } else {
            benchSpi(bench, image);
        }
    }
    std::printf("\nSmart write of an image with every tenth 4 KiB sector changed, against erase + write + verify:\n\n");
    std::printf("| chip        | erase + write + verify: s | smart, known image: s | speed-up | smart, compare read "
                "first: s | speed-up |\n");
    std::printf("|---|---:|---:|---:|---:|---:|\n");
    for (const SmartFigures& f : smartFigures)
        std::printf("| %-11s | %9.2f | %9.2f | %5.1fx | %9.2f | %5.1fx |\n", f.chip, f.full, f.known, f.full / f.known,
                    f.read, f.full / f.read);
}
