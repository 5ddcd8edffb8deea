#pragma once
// An emulated CH347 with a chip, behind a link that records every OUT transfer, and the CH347
// adapter opened over it.

#include "adapter/ch347/Ch347Adapter.h"
#include "adapter/emulator/EmulatedCh347.h"
#include "tests/support/EmulatedAdapter.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

// Passes everything to the emulated adapter and keeps the OUT transfers, as hex text.
class RecordingLink final : public UsbTransport {
public:
    explicit RecordingLink(std::shared_ptr<UsbTransport> inner) : UsbTransport(inner->profile()), inner_(inner) {}

    UsbStatus open() override { return inner_->open(); }
    void close() override { inner_->close(); }
    bool isOpen() const override { return inner_->isOpen(); }
    void pause(std::chrono::microseconds duration) override { inner_->pause(duration); }
    std::chrono::nanoseconds now() const override { return inner_->now(); }
    void setEventHandler(AdapterEventHandler handler) override { inner_->setEventHandler(std::move(handler)); }
    const UsbModel* model() const override { return inner_->model(); }

    std::vector<std::string> transfers;
    std::vector<std::string> take() { return std::exchange(transfers, {}); }

protected:
    UsbStatus doSubmit(ExchangeTicket, std::span<const std::span<const uint8_t>> out, std::span<const uint8_t> inSizes,
                       std::span<uint8_t> in) override
    {
        record(out);
        return inner_->submit(out, inSizes, in, tickets_.emplace_back());
    }
    UsbStatus doSubmitWide(ExchangeTicket, std::span<const std::span<const uint8_t>> out,
                           std::span<const uint16_t> inSizes, std::span<uint8_t> in) override
    {
        record(out);
        return inner_->submit(out, inSizes, in, tickets_.emplace_back());
    }
    UsbStatus doCollect(ExchangeTicket, std::size_t& received) override
    {
        // Collected in the order submitted, as the masters do.
        const ExchangeTicket ticket = tickets_.front();
        tickets_.erase(tickets_.begin());
        return inner_->collect(ticket, received);
    }

private:
    void record(std::span<const std::span<const uint8_t>> out)
    {
        for (auto transfer : out) transfers.push_back(BusLog::hex(transfer));
    }
    std::shared_ptr<UsbTransport> inner_;
    std::vector<ExchangeTicket> tickets_;
};

struct Ch347Rig {
    explicit Ch347Rig(EmulatedChipConfig config, double timeScale = 1000.0, AdapterPace pace = AdapterPace::Fast)
        : emulator(std::make_shared<EmulatedCh347>(std::move(config), timeScale, pace)),
          link(std::make_shared<RecordingLink>(emulator)), adapter(link)
    {
        adapter.open();
        emulator->setLogging(true);
        link->take();
    }

    bus::SpiMaster& spi() { return *adapter.spi(); }
    bus::I2cMaster& i2c() { return *adapter.i2c(); }
    std::span<uint8_t> chip() { return emulator->memory(); }
    // MOSI bytes of each SPI frame the chip saw since the last call.
    std::vector<std::string> frames()
    {
        std::vector<std::string> out;
        for (const SpiFrame& frame : emulator->takeLog().spi) out.push_back(BusLog::hex(frame.mosi));
        return out;
    }

    std::shared_ptr<EmulatedCh347> emulator;
    std::shared_ptr<RecordingLink> link;
    Ch347Adapter adapter;
};
