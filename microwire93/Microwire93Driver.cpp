#include "microwire93/Microwire93Driver.h"

#include "microwire93/Waveform.h"

#include <algorithm>
#include <array>

namespace microwire93 {

using family::Failure;
using family::Result;

namespace {

// Passes a stop request on and keeps the bytes of a read-back out of the bar.
class CancelOnly final : public family::Progress {
public:
    explicit CancelOnly(family::Progress& outer) : outer_(outer) {}
    void advance(uint64_t) override {}
    bool cancelRequested() override { return outer_.cancelRequested(); }

private:
    family::Progress& outer_;
};

} // namespace

Microwire93Driver::Microwire93Driver(chipdb::Chip chip, bus::PinBus& pins)
    : ChipDriver(std::move(chip)), pins_(pins), socket_(pins.socketPins())
{
    // DO tells busy or ready only while chip select is high; raising it again does not disturb
    // a cycle under way.
    Waveform(poll_, socket_, pins_.outputMask()).select();
    poll_.hold(PollLateness).sample();
}

family::Capabilities Microwire93Driver::capabilities() const
{
    family::Capabilities c;
    c.erase = usable();
    return c;
}

Geometry Microwire93Driver::geometry() const
{
    return {chip().addressBits, uint8_t(chip().wordBytes() * 8)};
}

bool Microwire93Driver::usable() const
{
    // The address field must hold the two bits that tell EWEN, EWDS, ERAL and WRAL apart, fit an
    // instruction of 32 bits, and reach every word.
    const chipdb::Chip& c = chip();
    return c.isMicrowire() && c.addressBits >= 2 && c.addressBits <= 13 && c.size > 0 && c.size % c.wordBytes() == 0 &&
           c.size <= (uint64_t(1) << c.addressBits) * c.wordBytes();
}

Failure Microwire93Driver::linkFailure(uint32_t address) const
{
    Failure failure{Failure::Cause::Link, address};
    failure.link = pins_.lastStatus();
    return failure;
}

Result Microwire93Driver::run(uint32_t address)
{
    if (!pins_.run(batch_, samples_)) return linkFailure(address);
    if (samples_.size() != batch_.samples()) {
        Failure failure{Failure::Cause::Link, address};
        failure.link = UsbStatus::ShortReply;
        return failure;
    }
    return Result::done();
}

Result Microwire93Driver::runWhenReady(uint32_t address, family::Progress* progress)
{
    const auto start = pins_.now();
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (Result result = run(address); !result) return result;
        if (DataOut(samples_[0], socket_)) return Result::done();
        if (Result ready = waitReady(start, address, progress); !ready) return ready;
    }
    Failure failure{Failure::Cause::StayedBusy, address};
    failure.waited = std::chrono::duration_cast<std::chrono::milliseconds>(pins_.now() - start);
    return failure;
}

Result Microwire93Driver::identify(family::Identity& identity)
{
    identity = {};
    if (!usable()) return Failure{Failure::Cause::BadRequest};
    batch_.clear();
    Waveform(batch_, socket_, pins_.outputMask())
        .select()
        .hold()
        .sample()
        .send(Read(geometry(), 0))
        .lowerClockAndSample()
        .deselect();
    Result result = run(0);
    // Busy, or the dummy bit: something drives DO low.
    if (result) identity.answered = !DataOut(samples_[0], socket_) || !DataOut(samples_[1], socket_);
    return finish(result, false);
}

Result Microwire93Driver::read(uint32_t address, std::span<uint8_t> into, family::Progress& progress)
{
    if (!usable() || uint64_t(address) + into.size() > chip().size) return Failure{Failure::Cause::BadRequest, address};
    if (into.empty()) return Result::done();
    return finish(readRange(address, into, progress), false);
}

Result Microwire93Driver::readRange(uint32_t address, std::span<uint8_t> into, family::Progress& progress)
{
    const uint32_t wordBytes = chip().wordBytes();
    const uint32_t end = address + uint32_t(into.size());
    const uint32_t wordsEnd = (end + wordBytes - 1) / wordBytes * wordBytes;
    std::array<uint8_t, ReadChunk> chunk;
    for (uint32_t at = address; at < end;) {
        if (progress.cancelRequested()) return Failure{Failure::Cause::Cancelled, at};
        const uint32_t first = at / wordBytes * wordBytes;
        const uint32_t length = std::min(ReadChunk, wordsEnd - first);
        batch_.clear();
        Waveform(batch_, socket_, pins_.outputMask())
            .select()
            .hold()
            .sample()
            .send(Read(geometry(), first / wordBytes))
            .lowerClockAndSample()
            .receive(length * 8)
            .deselect();
        if (Result result = runWhenReady(at, nullptr); !result) return result;
        if (DataOut(samples_[1], socket_)) return Failure{Failure::Cause::NoChip, at};
        // The bits of a word leave the chip high bit first, so the x16 image gets each word's
        // high byte first.
        PackBits(std::span(samples_).subspan(2), socket_, std::span(chunk).first(length));
        const uint32_t n = std::min(first + length, end) - at;
        std::copy_n(chunk.begin() + (at - first), n, into.begin() + (at - address));
        progress.advance(n);
        at += n;
    }
    return Result::done();
}

Result Microwire93Driver::enableWrites(uint32_t address, family::Progress* progress)
{
    batch_.clear();
    Waveform(batch_, socket_, pins_.outputMask())
        .select()
        .hold()
        .sample()
        .send(Read(geometry(), 0))
        .lowerClockAndSample()
        .select()
        .send(EraseWriteEnable(geometry()))
        .deselect();
    if (Result result = runWhenReady(address, progress); !result) return result;
    if (DataOut(samples_[1], socket_)) return Failure{Failure::Cause::NoChip, address};
    return Result::done();
}

Result Microwire93Driver::finish(Result result, bool disableWrites)
{
    if (disableWrites) {
        batch_.clear();
        Waveform(batch_, socket_, pins_.outputMask()).select().send(EraseWriteDisable(geometry())).deselect();
        const bool disabled = pins_.run(batch_, samples_);
        if (result && !disabled) result = linkFailure(chip().size);
    }
    const bool released = pins_.release();
    if (result && !released) result = linkFailure(chip().size);
    return result;
}

Result Microwire93Driver::programOne(Bits instruction, uint32_t address, family::Progress* progress)
{
    batch_.clear();
    Waveform(batch_, socket_, pins_.outputMask()).select().send(instruction).select().hold().sample();
    const auto start = pins_.now();
    if (Result result = run(address); !result) return result;
    if (DataOut(samples_[0], socket_)) return Failure{Failure::Cause::Refused, address};
    return waitReady(start, address, progress);
}

Result Microwire93Driver::waitReady(std::chrono::nanoseconds start, uint32_t address, family::Progress* progress)
{
    for (;;) {
        const auto before = pins_.now();
        if (!pins_.run(poll_, samples_) || samples_.size() != 1) return linkFailure(address);
        if (DataOut(samples_[0], socket_)) return Result::done();
        // Busy at a poll made after `before`: busy for at least that long.
        if (before - start >= chip().busyLimit) {
            Failure failure{Failure::Cause::StayedBusy, address};
            failure.waited = std::chrono::duration_cast<std::chrono::milliseconds>(pins_.now() - start);
            return failure;
        }
        if (progress) progress->tick();
        const auto spent = pins_.now() - before;
        if (spent < PollPeriod) pins_.pause(std::chrono::duration_cast<std::chrono::microseconds>(PollPeriod - spent));
    }
}

Result Microwire93Driver::programWord(Bits instruction, uint32_t word, uint16_t expected)
{
    const uint32_t wordBytes = chip().wordBytes();
    const uint32_t address = word * wordBytes;
    const Result result = programOne(instruction, address, nullptr);
    if (result || result.failure().cause != Failure::Cause::Refused) return result;
    // Never busy: a chip that did not take the instruction, or a cycle over before the look a few
    // pin commands later (only an emulated chip on a fast clock is that quick). The word tells.
    std::array<uint8_t, 2> cells{};
    family::NoProgress quiet;
    if (Result read = readRange(address, std::span(cells).first(wordBytes), quiet); !read) return read;
    return wordAt(cells, 0) == expected ? Result::done() : result;
}

uint16_t Microwire93Driver::wordAt(std::span<const uint8_t> bytes, uint32_t offset) const
{
    // x16: the high byte first, as the image keeps it.
    return chip().wordBytes() == 2 ? uint16_t(bytes[offset] << 8 | bytes[offset + 1]) : bytes[offset];
}

Result Microwire93Driver::program(uint32_t address, std::span<const uint8_t> data, family::Progress& progress)
{
    const uint32_t wordBytes = chip().wordBytes();
    if (!usable() || address % wordBytes != 0 || data.size() % wordBytes != 0 ||
        uint64_t(address) + data.size() > chip().size)
        return Failure{Failure::Cause::BadRequest, address};
    if (data.empty()) return Result::done();
    if (Result result = enableWrites(address, nullptr); !result) return finish(result, false);
    const uint16_t first = wordAt(data, 0);
    bool uniform = address == 0 && data.size() == chip().size;
    for (uint32_t offset = 0; uniform && offset < data.size(); offset += wordBytes)
        uniform = wordAt(data, offset) == first;
    return finish(uniform ? fill(first, progress) : programWords(address, data, progress), true);
}

Result Microwire93Driver::programWords(uint32_t address, std::span<const uint8_t> data, family::Progress& progress)
{
    const uint32_t wordBytes = chip().wordBytes();
    for (uint32_t offset = 0; offset < data.size(); offset += wordBytes) {
        const uint32_t at = address + offset;
        if (progress.cancelRequested()) return Failure{Failure::Cause::Cancelled, at};
        const uint16_t word = wordAt(data, offset);
        if (Result result = programWord(Write(geometry(), at / wordBytes, word), at / wordBytes, word); !result)
            return result;
        progress.advance(wordBytes);
    }
    return Result::done();
}

Result Microwire93Driver::erase(family::Progress& progress)
{
    if (!usable()) return Failure{Failure::Cause::BadRequest};
    if (Result result = enableWrites(0, &progress); !result) return finish(result, false);
    return finish(fill(ErasedWord(geometry()), progress), true);
}

Result Microwire93Driver::fill(uint16_t word, family::Progress& progress)
{
    const bool erased = word == ErasedWord(geometry());
    const Result bulk = programOne(erased ? EraseAll(geometry()) : WriteAll(geometry(), word), 0, &progress);
    // Never busy: the part does not take the bulk instruction, or its cycle was over at once; the
    // read back tells, and what it did not fill is filled word by word.
    if (!bulk && bulk.failure().cause != Failure::Cause::Refused) return bulk;

    std::vector<uint8_t> image(chip().size);
    CancelOnly quiet(progress);
    if (Result result = readRange(0, image, quiet); !result) return result;
    const uint32_t wordBytes = chip().wordBytes();
    uint64_t right = 0;
    for (uint32_t offset = 0; offset < image.size(); offset += wordBytes)
        if (wordAt(image, offset) == word) right += wordBytes;
    progress.advance(right);
    for (uint32_t offset = 0; offset < image.size(); offset += wordBytes) {
        if (wordAt(image, offset) == word) continue;
        if (progress.cancelRequested()) return Failure{Failure::Cause::Cancelled, offset};
        const uint32_t at = offset / wordBytes;
        const Bits mend = erased ? Erase(geometry(), at) : Write(geometry(), at, word);
        if (Result result = programWord(mend, at, word); !result) return result;
        progress.advance(wordBytes);
    }
    return Result::done();
}

} // namespace microwire93
