#pragma once
// Builds a chain of I2C stream segments (0xAA ...) for one exchange: every segment fits one
// 32-byte packet and answers with at most 32 bytes; segments other than the last are padded to
// 32 bytes so the adapter starts each at a packet boundary.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

class I2cSegmentChain {
public:
    I2cSegmentChain(std::vector<uint8_t>& out, std::vector<uint8_t>& replySizes);

    void start();
    void stop();
    // Sends bytes without per-byte status (the adapter ignores NACKs here).
    void send(std::span<const uint8_t> bytes);
    // Sends one byte and asks for its ACK status (one reply byte, bit 7 set = NACK).
    void sendWithStatus(uint8_t byte);
    // Reads `count` bytes, acknowledging all but the last, which is NACKed.
    void receive(std::size_t count);
    // Closes the last segment; call once before sending.
    void finish();

    std::size_t replyBytes() const { return totalReply_; }

private:
    void reserve(std::size_t bytes, std::size_t reply);
    void closeSegment(bool pad);
    std::size_t room() const;

    std::vector<uint8_t>& out_;
    std::vector<uint8_t>& replySizes_;
    std::size_t segmentStart_ = 0;
    std::size_t segmentReply_ = 0;
    std::size_t totalReply_ = 0;
    bool open_ = false;
};
