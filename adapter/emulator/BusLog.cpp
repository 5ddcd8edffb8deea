#include "adapter/emulator/BusLog.h"

#include <cstdio>

std::string BusLog::hex(std::span<const uint8_t> bytes)
{
    std::string text;
    char digits[4];
    for (uint8_t b : bytes) {
        std::snprintf(digits, sizeof digits, "%02X", b);
        if (!text.empty()) text += ' ';
        text += digits;
    }
    return text;
}

std::string BusLog::i2cText() const
{
    std::string text;
    char token[8];
    for (const I2cEvent& event : i2c) {
        if (!text.empty()) text += ' ';
        switch (event.kind) {
        case I2cEvent::Kind::Start: text += 'S'; break;
        case I2cEvent::Kind::Stop: text += 'P'; break;
        case I2cEvent::Kind::Write:
            std::snprintf(token, sizeof token, "%02X%c", event.byte, event.ack ? '+' : '-');
            text += token;
            break;
        case I2cEvent::Kind::Read:
            std::snprintf(token, sizeof token, "r%02X%c", event.byte, event.ack ? '+' : '-');
            text += token;
            break;
        }
    }
    return text;
}
