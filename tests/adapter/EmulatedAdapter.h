#pragma once
// Test fixture helpers: an emulated adapter with a chip, opened and logging.

#include "adapter/Ch341Device.h"
#include "adapter/emulator/EmulatedCh341.h"

#include <memory>
#include <string>
#include <vector>

struct EmulatedAdapter {
    explicit EmulatedAdapter(EmulatedChipConfig config, double timeScale = 1000.0)
        : emulator(std::make_shared<EmulatedCh341>(std::move(config), timeScale)), device(emulator)
    {
        device.CH341OpenDevice(AdapterIndex);
        emulator->setLogging(true);
    }

    // MOSI bytes of each SPI frame since the last call, as "06", "02 00 01 00 AA" ...
    std::vector<std::string> frames()
    {
        std::vector<std::string> out;
        for (const SpiFrame& frame : emulator->takeLog().spi) out.push_back(BusLog::hex(frame.mosi));
        return out;
    }
    std::string i2c() { return emulator->takeLog().i2cText(); }

    std::shared_ptr<EmulatedCh341> emulator;
    Ch341Device device;
};

inline EmulatedChipConfig I2cChip(const char* kind, uint32_t size, uint32_t page)
{
    return *MakeEmulatedChipConfig("", kind, size, page, "", 0);
}

inline EmulatedChipConfig SpiChip(const char* kind = "ID_SPI1", uint32_t size = 1u << 20,
                                  uint32_t page = 256, const char* signature = "EF4014")
{
    return *MakeEmulatedChipConfig("", kind, size, page, signature, 1);
}
