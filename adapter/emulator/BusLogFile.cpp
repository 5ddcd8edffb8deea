#include "adapter/emulator/BusLogFile.h"

#include <cstdio>
#include <string>

bool BusLogFile::open(const std::filesystem::path& path)
{
    out_.open(path, std::ios::out | std::ios::trunc);
    start_ = std::chrono::steady_clock::now();
    if (out_) out_ << "# Vespera emulated adapter: bus log (milliseconds, tag, bytes)\n";
    return static_cast<bool>(out_);
}

void BusLogFile::line(std::string_view tag, std::string_view text)
{
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start_).count();
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%12.3f ", ms);
    out_ << stamp << tag << ' ' << text << '\n';
}

void BusLogFile::write(std::string_view tag, std::span<const uint8_t> bytes)
{
    line(tag, BusLog::hex(bytes));
}

void BusLogFile::spiFrame(const SpiFrame& frame)
{
    line("SPI ", BusLog::hex(frame.mosi) + " -> " + BusLog::hex(frame.miso));
}

void BusLogFile::i2c(const I2cEvent& event)
{
    char text[32];
    switch (event.kind) {
    case I2cEvent::Kind::Start: line("I2C ", "start"); return;
    case I2cEvent::Kind::Stop: line("I2C ", "stop"); return;
    case I2cEvent::Kind::Write:
        std::snprintf(text, sizeof text, "write %02X %s", event.byte, event.ack ? "ack" : "nack");
        break;
    case I2cEvent::Kind::Read:
        std::snprintf(text, sizeof text, "read %02X %s", event.byte, event.ack ? "ack" : "nack");
        break;
    }
    line("I2C ", text);
}

void BusLogFile::note(std::string_view text)
{
    line("--- ", text);
    out_.flush();
}
