#pragma once
// The CH347 (CH347T: 1a86:55DB, vendor interface 2; CH347F: 1a86:55DE, interface 4) as a
// bus::Adapter: its SPI and I2C masters over a USB transport with the CH347's profile (libusb for
// the real adapter, the emulated CH347 in tests). It has no pin bus: MOSI has no GPIO.
//
// One thread at a time: the masters share the transport.

#include "adapter/bus/Adapter.h"
#include "adapter/ch347/Ch347I2cMaster.h"
#include "adapter/ch347/Ch347SpiMaster.h"

#include <memory>

class Ch347Adapter final : public bus::Adapter {
public:
    explicit Ch347Adapter(std::shared_ptr<UsbTransport> transport);
    ~Ch347Adapter() override;
    Ch347Adapter(const Ch347Adapter&) = delete;
    Ch347Adapter& operator=(const Ch347Adapter&) = delete;

    // The part the transport found ("CH347T", "CH347F").
    std::string name() const override;
    // Opens the link and configures the SPI engine (mode 0, CS0 high).
    UsbStatus open() override;
    void close() override;
    bool isOpen() const override { return transport_->isOpen(); }
    bool reset() override;
    void setEventHandler(AdapterEventHandler handler) override { transport_->setEventHandler(std::move(handler)); }

    bus::SpiMaster* spi() override { return &spi_; }
    bus::I2cMaster* i2c() override { return &i2c_; }
    bus::PinBus* pins() override { return nullptr; }
    UsbStatus lastStatus() const override { return status_; }

    UsbTransport& transport() { return *transport_; }

private:
    std::shared_ptr<UsbTransport> transport_;
    Ch347SpiMaster spi_;
    Ch347I2cMaster i2c_;
    UsbStatus status_ = UsbStatus::Ok;
};
