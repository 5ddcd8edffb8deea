#pragma once
// What a chip family offers the core: one driver per family (25xx SPI, 24xx I2C, ...), chosen once
// from the chip value, working on the bus the adapter gives it. A driver knows its chips' commands
// and timing and nothing of the program around it: it takes the chip, the image span and a
// progress sink, and says how each operation ended.

#include "adapter/UsbStatus.h"
#include "chipdb/Chip.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace family {

// Why an operation on the chip stopped before its end.
struct Failure {
    enum class Cause {
        Cancelled,       // the user asked to stop; the driver ended between two steps
        Link,            // the adapter's exchange failed: `link` says how
        NotAcknowledged, // the chip did not acknowledge byte `byte` of a transfer (I2C)
        StayedBusy,      // the chip stayed busy for `waited`
        Refused,         // the chip did not take a program, erase or register write
        NoChip,          // nothing answers in the socket
        BadRequest,      // the request does not fit the chip (range, page size, method)
    };
    Cause cause = Cause::Link;
    uint32_t address = 0; // where the operation stopped: the first byte not done
    UsbStatus link = UsbStatus::Ok;
    uint32_t byte = 0;
    std::chrono::milliseconds waited{0};
};

class Result {
public:
    Result() = default;
    Result(Failure failure) : failure_(failure) {}
    static Result done() { return {}; }

    bool ok() const { return !failure_; }
    explicit operator bool() const { return ok(); }
    const Failure& failure() const { return *failure_; }

private:
    std::optional<Failure> failure_;
};

// Where a long operation reports how far it got, and learns that the user wants it to stop.
class Progress {
public:
    virtual ~Progress() = default;
    // `bytes` more of the operation's bytes are done.
    virtual void advance(uint64_t bytes) = 0;
    // The erase's wait: one status poll made (a tick of a bar whose end cannot be foreseen).
    virtual void tick() {}
    // True once a stop was asked for; the driver ends with Cause::Cancelled at its next step.
    virtual bool cancelRequested() = 0;
};

// A Progress that reports nothing and never cancels.
class NoProgress final : public Progress {
public:
    void advance(uint64_t) override {}
    bool cancelRequested() override { return false; }
};

// What the chip in the socket said about itself.
struct Identity {
    bool answered = false;          // something drives the data line
    std::string signature;          // as the database writes it: "EF4017", "1313"; empty if none
    std::array<uint8_t, 3> jedec{}; // 9F bytes (SPI)
    std::array<uint8_t, 2> res{};   // AB bytes (SPI)
};

struct Capabilities {
    bool identify = false;           // the chip tells its id
    bool erase = false;              // a whole-chip erase (by command or by writing FF)
    bool eraseBeforeProgram = false; // programming only clears bits: erase what will be written
    bool statusRegisters = false;
    bool sectorErase = false; // eraseSectors() (smart write)
};

using StatusBytes = std::array<uint8_t, 3>;

class ChipDriver {
public:
    explicit ChipDriver(chipdb::Chip chip) : chip_(std::move(chip)) {}
    virtual ~ChipDriver() = default;
    ChipDriver(const ChipDriver&) = delete;
    ChipDriver& operator=(const ChipDriver&) = delete;

    const chipdb::Chip& chip() const { return chip_; }
    virtual Capabilities capabilities() const = 0;

    virtual Result identify(Identity& identity) = 0;
    // Reads `into.size()` bytes from `address`.
    virtual Result read(uint32_t address, std::span<uint8_t> into, Progress& progress) = 0;
    // Programs `data` at `address` (page-aligned for page chips); a flash must be erased there.
    virtual Result program(uint32_t address, std::span<const uint8_t> data, Progress& progress) = 0;
    // Erases the whole chip and waits until it is done.
    virtual Result erase(Progress& progress) = 0;
    // Erases the erase sectors of `sectorSize` bytes that hold [address, address + length).
    virtual Result eraseSectors(uint32_t address, uint32_t length, Progress& progress)
    {
        (void)address, (void)length, (void)progress;
        return Failure{Failure::Cause::BadRequest};
    }
    virtual uint32_t sectorSize() const { return 0; }

    // Status registers 1..3 as many as the chip has (the others read 0).
    virtual Result readStatus(StatusBytes& registers)
    {
        (void)registers;
        return Failure{Failure::Cause::BadRequest};
    }
    virtual Result writeStatus(const StatusBytes& registers)
    {
        (void)registers;
        return Failure{Failure::Cause::BadRequest};
    }

private:
    chipdb::Chip chip_;
};

} // namespace family
