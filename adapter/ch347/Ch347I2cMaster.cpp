#include "adapter/ch347/Ch347I2cMaster.h"

#include "adapter/ch347/Ch347Protocol.h"

#include <algorithm>

using namespace ch347;

namespace {

// Packs stream sub-commands into AA frames: a sub-command stays in one frame with its bytes, a
// frame carries at most MaxPayload bytes (END included) and answers at most MaxPayload bytes.
class FrameChain {
public:
    FrameChain(std::vector<uint8_t>& out, std::vector<std::size_t>& ends, std::vector<uint16_t>& inSizes)
        : out_(out), ends_(ends), inSizes_(inSizes)
    {
        out_.clear();
        ends_.clear();
        inSizes_.clear();
    }

    // One sub-command with the bytes that follow it, answering `replies` bytes.
    void add(uint8_t command, std::span<const uint8_t> bytes, std::size_t replies)
    {
        const std::size_t length = 1 + bytes.size();
        if (open_ && (payload() + length + 1 > MaxPayload || replies_ + replies > MaxPayload)) close();
        if (!open_) {
            start_ = out_.size();
            out_.resize(start_ + HeaderSize);
            replies_ = 0;
            open_ = true;
        }
        out_.push_back(command);
        out_.insert(out_.end(), bytes.begin(), bytes.end());
        replies_ += replies;
    }
    void finish()
    {
        if (open_) close();
    }

private:
    std::size_t payload() const { return out_.size() - start_ - HeaderSize; }
    void close()
    {
        out_.push_back(I2cEnd);
        PutHeader(out_.data() + start_, CmdI2cStream, payload());
        ends_.push_back(out_.size());
        // A frame that writes and reads nothing answers nothing.
        if (replies_ > 0) inSizes_.push_back(static_cast<uint16_t>(HeaderSize + replies_));
        open_ = false;
    }

    std::vector<uint8_t>& out_;
    std::vector<std::size_t>& ends_;
    std::vector<uint16_t>& inSizes_;
    std::size_t start_ = 0, replies_ = 0;
    bool open_ = false;
};

} // namespace

bool Ch347I2cMaster::fail(UsbStatus status)
{
    status_ = status;
    return false;
}

bool Ch347I2cMaster::setSpeed(int index)
{
    if (index < 0 || index > 3) return fail(UsbStatus::InvalidArgument);
    speed_ = index; // sent with every transaction
    return true;
}

void Ch347I2cMaster::layOut(const bus::I2cTransaction& transaction)
{
    using Kind = bus::I2cTransaction::Kind;
    FrameChain chain(out_, ends_, inSizes_);
    chain.add(static_cast<uint8_t>(I2cSet | speed_), {}, 0);
    for (const auto& step : transaction.steps()) {
        switch (step.kind) {
        case Kind::Start: chain.add(I2cStart, {}, 0); break;
        case Kind::Stop: chain.add(I2cStop, {}, 0); break;
        case Kind::Write:
        case Kind::WriteUnchecked:
            for (std::size_t at = 0; at < step.out.size(); at += I2cMaxRun) {
                const auto run = step.out.subspan(at, std::min(I2cMaxRun, step.out.size() - at));
                chain.add(static_cast<uint8_t>(I2cOut | run.size()), run, run.size());
            }
            break;
        case Kind::Read:
            // Every byte but the last is acknowledged; the last one, alone, is not, which ends the read.
            for (std::size_t left = step.in.size(); left > 1;) {
                const std::size_t run = std::min(I2cMaxRun, left - 1);
                chain.add(static_cast<uint8_t>(I2cIn | run), {}, run);
                left -= run;
            }
            if (!step.in.empty()) chain.add(I2cIn, {}, 1);
            break;
        }
    }
    chain.finish();
    transfers_.clear();
    std::size_t begin = 0;
    for (std::size_t end : ends_) {
        transfers_.emplace_back(out_.data() + begin, end - begin);
        begin = end;
    }
    std::size_t replyBytes = 0;
    for (uint16_t size : inSizes_) replyBytes += size;
    in_.resize(std::max<std::size_t>(replyBytes, 1));
}

bool Ch347I2cMaster::unpack(std::size_t received)
{
    std::size_t expected = 0;
    for (uint16_t size : inSizes_) expected += size;
    if (received != expected) return fail(UsbStatus::ShortReply);
    std::size_t at = 0, kept = 0;
    for (uint16_t size : inSizes_) {
        const std::span<const uint8_t> frame(in_.data() + at, size);
        if (frame[0] != CmdI2cStream || PayloadLength(frame) != size - HeaderSize) return fail(UsbStatus::Failed);
        // In place: the bytes only ever move towards the start.
        std::copy(frame.begin() + HeaderSize, frame.end(), in_.begin() + std::ptrdiff_t(kept));
        kept += size - HeaderSize;
        at += size;
    }
    return true;
}

bool Ch347I2cMaster::run(const bus::I2cTransaction& transaction, std::span<bool> acknowledged)
{
    using Kind = bus::I2cTransaction::Kind;
    if (acknowledged.size() < transaction.checkedBytes()) return fail(UsbStatus::InvalidArgument);
    layOut(transaction);
    std::size_t received = 0;
    const UsbStatus status = transport_.exchange(transfers_, inSizes_, in_, received);
    if (status != UsbStatus::Ok) return fail(status);
    if (!unpack(received)) return false;

    std::size_t at = 0, ack = 0;
    for (const auto& step : transaction.steps()) {
        if (step.kind == Kind::Write) {
            for (std::size_t i = 0; i < step.out.size(); ++i) acknowledged[ack++] = (in_[at++] & I2cAcknowledged) != 0;
        } else if (step.kind == Kind::WriteUnchecked) {
            at += step.out.size();
        } else if (step.kind == Kind::Read) {
            std::copy_n(in_.begin() + std::ptrdiff_t(at), step.in.size(), step.in.begin());
            at += step.in.size();
        }
    }
    status_ = UsbStatus::Ok;
    return true;
}
