#pragma once
// Decorator that lets a transport fail on purpose, to prove that adapter faults surface as
// reported errors. Once `afterPackets` OUT packets have passed, every exchange that would send
// more is hit by the fault (like a cable that stays bad):
//   Drop:      the packets vanish; an exchange waiting for replies then times out.
//   ShortRead: the exchange runs, but the last reply byte is lost.
//   Timeout:   the exchange fails with a timeout without reaching the adapter.

#include "adapter/UsbTransport.h"

#include <map>
#include <memory>

enum class TransportFault { Drop, ShortRead, Timeout };

class FaultyTransport final : public UsbTransport {
public:
    FaultyTransport(std::shared_ptr<UsbTransport> inner, TransportFault fault, uint64_t afterPackets);

    UsbStatus open() override { return inner_->open(); }
    void close() override { inner_->close(); }
    bool isOpen() const override { return inner_->isOpen(); }
    void pause(std::chrono::microseconds duration) override { inner_->pause(duration); }
    std::chrono::nanoseconds now() const override { return inner_->now(); }
    const UsbModel* model() const override { return inner_->model(); }
    void setEventHandler(AdapterEventHandler handler) override { inner_->setEventHandler(std::move(handler)); }

protected:
    UsbStatus doSubmit(ExchangeTicket ticket, std::span<const std::span<const uint8_t>> out,
                       std::span<const uint8_t> inSizes, std::span<uint8_t> in) override;
    UsbStatus doSubmitWide(ExchangeTicket ticket, std::span<const std::span<const uint8_t>> out,
                           std::span<const uint16_t> inSizes, std::span<uint8_t> in) override;
    UsbStatus doCollect(ExchangeTicket ticket, std::size_t& received) override;

private:
    template <class Size>
    UsbStatus pass(ExchangeTicket ticket, std::span<const std::span<const uint8_t>> out, std::span<const Size> inSizes,
                   std::span<uint8_t> in);

    // What became of a submitted exchange: passed on (the inner ticket), or already decided.
    struct Fate {
        ExchangeTicket inner = 0;
        bool hit = false;
        UsbStatus decided = UsbStatus::Ok;
    };
    std::map<ExchangeTicket, Fate> fates_;
    std::shared_ptr<UsbTransport> inner_;
    TransportFault fault_;
    uint64_t afterPackets_;
    uint64_t passed_ = 0;
};
