#include "adapter/ch341a/I2cSegmentChain.h"

#include "adapter/ch341a/Ch341Protocol.h"

#include <algorithm>

using namespace ch341;

I2cSegmentChain::I2cSegmentChain(std::vector<uint8_t>& out, std::vector<uint8_t>& replySizes)
    : out_(out), replySizes_(replySizes)
{
    out_.clear();
    replySizes_.clear();
}

std::size_t I2cSegmentChain::room() const
{
    return open_ ? PacketSize - (out_.size() - segmentStart_) : 0;
}

void I2cSegmentChain::closeSegment(bool pad)
{
    if (!open_) return;
    if (room() > 0) out_.push_back(I2cEnd);
    if (pad) out_.resize(segmentStart_ + PacketSize, 0x00);
    if (segmentReply_ > 0) replySizes_.push_back(static_cast<uint8_t>(segmentReply_));
    open_ = false;
}

void I2cSegmentChain::reserve(std::size_t bytes, std::size_t reply)
{
    if (open_ && room() >= bytes && segmentReply_ + reply <= I2cMaxReadPerSegment) return;
    closeSegment(true);
    segmentStart_ = out_.size();
    segmentReply_ = 0;
    out_.push_back(CmdI2cStream);
    open_ = true;
}

void I2cSegmentChain::start()
{
    reserve(1, 0);
    out_.push_back(I2cStart);
}

void I2cSegmentChain::stop()
{
    reserve(1, 0);
    out_.push_back(I2cStop);
}

void I2cSegmentChain::send(std::span<const uint8_t> bytes)
{
    while (!bytes.empty()) {
        reserve(2, 0);
        const std::size_t n = std::min({bytes.size(), room() - 1, I2cMaxOutRun});
        out_.push_back(static_cast<uint8_t>(I2cOut | n));
        out_.insert(out_.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
        bytes = bytes.subspan(n);
    }
}

void I2cSegmentChain::sendWithStatus(uint8_t byte)
{
    reserve(2, 1);
    out_.push_back(I2cOut);
    out_.push_back(byte);
    ++segmentReply_;
    ++totalReply_;
}

void I2cSegmentChain::receive(std::size_t count)
{
    if (count == 0) return;
    std::size_t acked = count - 1;
    while (acked > 0) {
        reserve(1, 1);
        const std::size_t n = std::min(acked, I2cMaxReadPerSegment - segmentReply_);
        out_.push_back(static_cast<uint8_t>(I2cIn | n));
        segmentReply_ += n;
        totalReply_ += n;
        acked -= n;
    }
    reserve(1, 1);
    out_.push_back(I2cIn);
    ++segmentReply_;
    ++totalReply_;
}

void I2cSegmentChain::finish()
{
    closeSegment(false);
}
