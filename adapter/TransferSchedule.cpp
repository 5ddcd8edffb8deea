#include "adapter/TransferSchedule.h"

#include <algorithm>

void TransferSchedule::add(uint64_t exchange, std::span<const std::span<const uint8_t>> out, std::size_t inPackets,
                           std::vector<Request>& now)
{
    for (std::size_t i = 0; i < inPackets; ++i) waitingIn_.push_back({Request::Kind::In, exchange, i});
    while (inFlight_ < InWindow && !waitingIn_.empty()) {
        now.push_back(waitingIn_.front());
        waitingIn_.pop_front();
        ++inFlight_;
    }
    for (std::size_t t = 0; t < out.size(); ++t)
        for (std::size_t pos = 0; pos < out[t].size(); pos += MaxOutRequest)
            now.push_back({Request::Kind::Out, exchange, t, pos, std::min(MaxOutRequest, out[t].size() - pos)});
}

std::optional<TransferSchedule::Request> TransferSchedule::inFinished()
{
    if (inFlight_ > 0) --inFlight_;
    if (waitingIn_.empty() || inFlight_ >= InWindow) return std::nullopt;
    const Request next = waitingIn_.front();
    waitingIn_.pop_front();
    ++inFlight_;
    return next;
}

void TransferSchedule::clear()
{
    waitingIn_.clear();
    inFlight_ = 0;
}
