#pragma once
// An adapter that forwards to another, with one of its buses replaced: tests put a bus in between
// that refuses or fails where a real chip or link would.
#include "adapter/bus/Adapter.h"

#include <memory>

class WrappedAdapter : public bus::Adapter {
public:
    explicit WrappedAdapter(std::shared_ptr<bus::Adapter> inner) : inner_(std::move(inner)) {}

    std::string name() const override { return inner_->name(); }
    UsbStatus open() override { return inner_->open(); }
    void close() override { inner_->close(); }
    bool isOpen() const override { return inner_->isOpen(); }
    bool reset() override { return inner_->reset(); }
    void setEventHandler(AdapterEventHandler handler) override { inner_->setEventHandler(std::move(handler)); }
    bus::SpiMaster* spi() override { return spi_ ? spi_ : inner_->spi(); }
    bus::I2cMaster* i2c() override { return i2c_ ? i2c_ : inner_->i2c(); }
    bus::PinBus* pins() override { return inner_->pins(); }
    UsbStatus lastStatus() const override { return inner_->lastStatus(); }

    bus::Adapter& inner() { return *inner_; }
    void replace(bus::SpiMaster* spi) { spi_ = spi; }
    void replace(bus::I2cMaster* i2c) { i2c_ = i2c; }

private:
    std::shared_ptr<bus::Adapter> inner_;
    bus::SpiMaster* spi_ = nullptr;
    bus::I2cMaster* i2c_ = nullptr;
};
