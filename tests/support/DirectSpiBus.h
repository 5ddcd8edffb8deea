#pragma once
// A Ch341Library whose SPI frames go straight to a chip model, without the USB packets of the
// emulated adapter: for tests that move many megabytes through the real SPI operations and
// workers. One CH341StreamSPI4 call is one frame between chip-select edges, as on the adapter;
// the delay advances in the chip's emulated time.

#include "adapter/ch341a/Ch341Library.h"
#include "adapter/emulator/BusDevices.h"
#include "adapter/emulator/EmuClock.h"

#include <thread>

class DirectSpiBus final : public Ch341Library {
public:
    DirectSpiBus(SpiSlave& chip, const EmuClock& clock) : chip_(chip), clock_(clock) {}

    intptr_t CH341OpenDevice(uint32_t) override { return 1; }
    void CH341CloseDevice(uint32_t) override {}
    bool CH341ResetDevice(uint32_t) override { return true; }
    bool CH341SetDeviceNotify(uint32_t, const char*, DeviceNotify) override { return true; }
    bool CH341SetStream(uint32_t, uint8_t) override { return true; }
    bool CH341WriteData(uint32_t, std::span<const uint8_t>) override { return false; }
    bool CH341WriteRead(uint32_t, std::span<const uint8_t>, uint32_t, uint32_t, uint32_t&, std::span<uint8_t>) override
    {
        return false;
    }
    bool CH341StreamSPI4(uint32_t, uint32_t, std::span<uint8_t> buffer) override
    {
        chip_.select();
        chip_.transferBlock(buffer);
        chip_.deselect();
        return true;
    }
    bool CH341SetDelaymS(uint32_t, uint32_t milliseconds) override
    {
        std::this_thread::sleep_for(clock_.toReal(std::chrono::milliseconds(milliseconds)));
        return true;
    }
    bool CH341ReadEEPROM(uint32_t, uint8_t, uint32_t, std::span<uint8_t>) override { return false; }
    bool CH341WriteEEPROM(uint32_t, uint8_t, uint32_t, std::span<const uint8_t>) override { return false; }
    UsbStatus lastStatus() const override { return UsbStatus::Ok; }

private:
    SpiSlave& chip_;
    const EmuClock& clock_;
};
