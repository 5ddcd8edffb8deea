#pragma once
// The order in which a transport hands bulk requests to USB, shared by the libusb transport and
// the emulated CH341A so both pipeline alike. Exchanges queue in order; for each one the IN
// requests for its replies are submitted first (the adapter stalls once it holds two unread
// replies, so replies must be asked for before the OUT data that makes them), within a window of
// IN requests in flight across all exchanges, then its OUT transfers, each cut into requests of
// at most MaxOutRequest bytes. Every finished IN request lets the next waiting one go.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <vector>

class TransferSchedule {
public:
    static constexpr std::size_t InWindow = 32;        // IN requests in flight: the adapter never waits for the host
    static constexpr std::size_t MaxOutRequest = 4096; // the vendor library's largest write

    struct Request {
        enum class Kind : uint8_t { In, Out };
        Kind kind;
        uint64_t exchange;
        std::size_t index;      // In: reply packet of the exchange; Out: its transfer
        std::size_t offset = 0; // Out: bytes of that transfer
        std::size_t length = 0;

        bool operator==(const Request&) const = default;
    };

    // Queues an exchange and appends the requests to submit now, in order, to `now`.
    void add(uint64_t exchange, std::span<const std::span<const uint8_t>> out, std::size_t inPackets,
             std::vector<Request>& now);
    // An IN request ended (completed, failed or cancelled): the IN request to submit in its place.
    std::optional<Request> inFinished();
    // Forgets every request not submitted yet and every one in flight (after a failure).
    void clear();

    std::size_t inFlight() const { return inFlight_; }

private:
    std::deque<Request> waitingIn_;
    std::size_t inFlight_ = 0;
};
