#pragma once
// The CH341A (1a86:5512) as a bus::Adapter: the vendor library's operations built over a USB
// transport (libusb for the real adapter, the emulated CH341A in tests), and the SPI and I2C
// masters and the pin bus over them.

#include "adapter/bus/Adapter.h"
#include "adapter/ch341a/Ch341Device.h"
#include "adapter/ch341a/Ch341I2cMaster.h"
#include "adapter/ch341a/Ch341PinBus.h"
#include "adapter/ch341a/Ch341SpiMaster.h"

#include <memory>

class Ch341Adapter final : public bus::Adapter {
public:
    explicit Ch341Adapter(std::shared_ptr<UsbTransport> transport);

    std::string name() const override { return "CH341A"; }
    UsbStatus open() override;
    void close() override;
    bool isOpen() const override;
    bool reset() override;
    void setEventHandler(AdapterEventHandler handler) override;

    bus::SpiMaster* spi() override { return &spi_; }
    bus::I2cMaster* i2c() override { return &i2c_; }
    bus::PinBus* pins() override { return &pins_; }
    UsbStatus lastStatus() const override { return device_->lastStatus(); }

    // The vendor library's operations on this adapter.
    Ch341Device& library() { return *device_; }
    std::shared_ptr<Ch341Device> sharedLibrary() { return device_; }

private:
    std::shared_ptr<Ch341Device> device_;
    Ch341SpiMaster spi_;
    Ch341I2cMaster i2c_;
    Ch341PinBus pins_;
};
