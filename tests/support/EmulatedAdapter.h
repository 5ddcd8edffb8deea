#pragma once
// Test fixture shared by the adapter, I2C and SPI tests: an emulated adapter with a chip, opened
// and logging, and the chip configurations they use.

#include "adapter/ch341a/Ch341Device.h"
#include "adapter/emulator/EmulatedCh341.h"

#include <algorithm>
#include <memory>
#include <span>
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
    // The same without the status polls ("05 00").
    std::vector<std::string> framesWithoutPolls()
    {
        auto out = frames();
        std::erase(out, std::string("05 00"));
        return out;
    }
    std::string i2c() { return emulator->takeLog().i2cText(); }
    std::span<uint8_t> chip() { return emulator->memory(); }

    std::shared_ptr<EmulatedCh341> emulator;
    Ch341Device device;
};

inline EmulatedChipConfig I2cChip(const char* kind, uint32_t size, uint32_t page, const char* chipText = "")
{
    return *MakeEmulatedChipConfig({chipText, kind, size, page, "", 0, ""});
}

// Starts unprotected, whatever the part's power-up state.
inline EmulatedChipConfig SpiChip(const char* kind = "ID_SPI1", uint32_t size = 1u << 20, uint32_t page = 256,
                                  const char* signature = "EF4014")
{
    EmulatedChipConfig config = *MakeEmulatedChipConfig({"", kind, size, page, signature, 1, ""});
    config.initialStatus = {0, 0, 0};
    return config;
}
