#pragma once
// The emulated adapter's bus log as a text file a user can attach to a bug report: one line per
// USB packet and per bus event, each with the milliseconds since the file was opened:
//
//        0.412 USB> A8 F9 00 00 00 00                  (packet from the host)
//        0.413 USB< FF F7 02 E8                        (reply packet to the host)
//        0.413 SPI  9F 00 00 00 -> FF EF 40 17         (one frame between chip-select edges)
//        1.020 I2C  start / write A0 ack / read 12 nack / stop
//        5.000 ---  adapter unplugged                  (adapter events)
//
// SPI bytes are shown as the chip sees them (most significant bit first); USB packets as they
// travel.

#include "adapter/emulator/BusLog.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <span>
#include <string_view>

class BusLogFile {
public:
    // Creates or truncates the file; false when it cannot be written.
    bool open(const std::filesystem::path& path);

    void usbOut(std::span<const uint8_t> packet) { write("USB>", packet); }
    void usbIn(std::span<const uint8_t> packet) { write("USB<", packet); }
    void spiFrame(const SpiFrame& frame);
    void i2c(const I2cEvent& event);
    void note(std::string_view text);

private:
    void write(std::string_view tag, std::span<const uint8_t> bytes);
    void line(std::string_view tag, std::string_view text);

    std::ofstream out_;
    std::chrono::steady_clock::time_point start_;
};
