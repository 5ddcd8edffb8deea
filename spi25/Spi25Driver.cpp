#include "spi25/Spi25Driver.h"

#include "spi25/SpiErase.h"
#include "spi25/SpiFrames.h"
#include "spi25/SpiIdentify.h"
#include "spi25/SpiOpcodes.h"
#include "spi25/SpiReader.h"
#include "spi25/SpiStatusRegisters.h"

#include <algorithm>
#include <vector>

namespace spi25 {

using family::Failure;
using family::Result;

Spi25Driver::Spi25Driver(chipdb::Chip chip, bus::SpiMaster& spi) : ChipDriver(std::move(chip)), spi_(spi) {}

family::Capabilities Spi25Driver::capabilities() const
{
    family::Capabilities c;
    c.identify = true;
    c.erase = chip().writeMethod != chipdb::SpiWriteMethod::None;
    c.eraseBeforeProgram = chip().needsErase;
    c.statusRegisters = true;
    c.sectorErase = sectorSize() != 0;
    return c;
}

uint32_t Spi25Driver::sectorSize() const
{
    const uint32_t size = chip().size;
    return chip().needsErase && size > SectorSize && size % SectorSize == 0 ? SectorSize : 0;
}

uint32_t Spi25Driver::programUnit() const
{
    return chip().writeMethod == chipdb::SpiWriteMethod::AaiWord ? AaiBlock : chip().pageSize;
}

Result Spi25Driver::identify(family::Identity& identity)
{
    identity = {};
    std::array<uint8_t, 3> jedec{0xFF, 0xFF, 0xFF};
    std::array<uint8_t, 2> res{0xFF, 0xFF};
    if (!ReadJedecId(spi_, jedec) || !ReadResId(spi_, res)) return LinkFailure(spi_, 0);
    identity.jedec = jedec;
    identity.res = res;
    const uint32_t jedecValue = uint32_t(jedec[0]) << 16 | uint32_t(jedec[1]) << 8 | jedec[2];
    const uint32_t resValue = uint32_t(res[0]) << 8 | res[1];
    if (!EmptySocketId(jedecValue))
        identity.signature = HexText(jedecValue, 6);
    else if (!EmptySocketId(resValue))
        identity.signature = HexText(resValue, 4);
    identity.answered = !identity.signature.empty();
    return Result::done();
}

Result Spi25Driver::read(uint32_t address, std::span<uint8_t> into, family::Progress& progress)
{
    if (into.empty()) return Result::done();
    if (uint64_t(address) + into.size() > chip().size) return Failure{Failure::Cause::BadRequest, address};
    // The 4-byte addressing set up before reads stays until the chip loses power.
    if (!readPrepared_ && !PrepareRead(spi_, chip().addressMode)) return LinkFailure(spi_, address);
    readPrepared_ = true;
    return ReadRange(spi_, chip().addressMode, address, into, ReadChunk(chip().size), progress);
}

Result Spi25Driver::program(uint32_t address, std::span<const uint8_t> data, family::Progress& progress)
{
    switch (chip().writeMethod) {
    case chipdb::SpiWriteMethod::Page: return programPages(address, data, progress);
    case chipdb::SpiWriteMethod::AaiWord: return programAai(address, data, progress);
    case chipdb::SpiWriteMethod::None: break;
    }
    return Failure{Failure::Cause::BadRequest, address};
}

Result Spi25Driver::programPages(uint32_t address, std::span<const uint8_t> data, family::Progress& progress)
{
    const uint32_t page = chip().pageSize;
    if (page == 0 || address % page != 0 || data.size() % page != 0 || uint64_t(address) + data.size() > chip().size)
        return Failure{Failure::Cause::BadRequest, address};
    PageProgrammer programmer(spi_, chip().addressMode);
    // A stop between pages leaves the chip write-disabled, whatever that frame does.
    auto stop = [&](Failure failure) {
        (void)Command(spi_, {op::WriteDisable});
        return Result(failure);
    };
    for (uint32_t offset = 0; offset < data.size(); offset += page) {
        if (progress.cancelRequested()) return stop(Failure{Failure::Cause::Cancelled, address + offset});
        if (Result result = programmer.program(address + offset, data.subspan(offset, page)); !result)
            return stop(result.failure());
        progress.advance(page);
    }
    return Result::done();
}

Result Spi25Driver::programAai(uint32_t address, std::span<const uint8_t> data, family::Progress& progress)
{
    if (address % AaiBlock != 0 || data.size() % AaiBlock != 0 || uint64_t(address) + data.size() > chip().size)
        return Failure{Failure::Cause::BadRequest, address};
    // Each finished block already ends with a write disable, so an early stop sends nothing.
    for (uint32_t offset = 0; offset < data.size(); offset += AaiBlock) {
        if (progress.cancelRequested()) return Failure{Failure::Cause::Cancelled, address + offset};
        if (Result result = ProgramAai(spi_, address + offset, data.subspan(offset).first<AaiBlock>()); !result)
            return result;
        progress.advance(AaiBlock);
    }
    return Result::done();
}

Result Spi25Driver::erase(family::Progress& progress)
{
    if (chip().hasChipErase) return EraseChip(spi_, chip().size, progress);
    // A 25xx EEPROM has no chip erase: FF goes into every page.
    const uint32_t unit = programUnit();
    if (unit == 0 || chip().writeMethod == chipdb::SpiWriteMethod::None) return Failure{Failure::Cause::BadRequest, 0};
    const std::vector<uint8_t> blank(chip().size / unit * unit, 0xFF);
    return program(0, blank, progress);
}

Result Spi25Driver::eraseSectors(uint32_t address, uint32_t length, family::Progress& progress)
{
    const uint32_t sector = sectorSize();
    if (sector == 0 || uint64_t(address) + length > chip().size) return Failure{Failure::Cause::BadRequest, address};
    const uint32_t end = address + length;
    for (uint32_t at = address / sector * sector; at < end; at += sector) {
        if (progress.cancelRequested()) return Failure{Failure::Cause::Cancelled, at};
        if (Result result = EraseSector(spi_, at, chip().addressMode); !result) return result;
        progress.advance(sector);
    }
    return Result::done();
}

Result Spi25Driver::readStatus(family::StatusBytes& registers)
{
    const StatusRead read = ReadStatusRegisters(spi_, chip().statusRegisters);
    std::copy_n(read.values.begin(), read.registersRead, registers.begin());
    return read.failed ? Result(LinkFailure(spi_, 0)) : Result::done();
}

Result Spi25Driver::writeStatus(const family::StatusBytes& registers)
{
    const StatusWrite write =
        WriteStatusRegisters(spi_, registers, chip().statusRegisters, chip().statusWriteNeedsEwsr);
    if (!write.attempted) return Failure{Failure::Cause::BadRequest};
    if (std::any_of(write.failed.begin(), write.failed.end(), [](bool failed) { return failed; }))
        return LinkFailure(spi_, 0);
    return Result::done();
}

} // namespace spi25
