#pragma once
// The eleven operations of the CH341 adapter library, by role. Every call takes the device
// index first; the program only drives the first adapter, so it is always AdapterIndex (0).
// Buffers travel as spans: the span's size is the length argument of the operation.
//
// Thread use: the operations may be called from any one thread at a time; an implementation
// keeps each call whole when two threads do call at once (one SPI frame never interleaves with
// another).

#include "adapter/UsbStatus.h"
#include "adapter/UsbTransport.h"

#include <chrono>
#include <cstdint>
#include <span>

inline constexpr uint32_t AdapterIndex = 0;

// Value of CH341OpenDevice when no adapter could be opened.
inline constexpr intptr_t InvalidAdapterHandle = -1;

// Chip-select argument of CH341StreamSPI4: bit 7 = drive chip select, bits 1..0 = which line.
inline constexpr uint32_t SpiChipSelect0 = 0x80;

// Called with 0 (adapter removed), 1 (about to be removed) or 3 (adapter arrived). It may run on
// any thread, the library's own event thread included; the caller marshals it to its UI thread.
using DeviceNotify = AdapterEventHandler;

class Ch341Library {
public:
    virtual ~Ch341Library() = default;

    // Ordinal 28: opens the adapter. Returns a handle, InvalidAdapterHandle when none could be
    // opened; lastStatus() then tells "absent" from "present but not accessible".
    virtual intptr_t CH341OpenDevice(uint32_t index) = 0;
    // Ordinal 5.
    virtual void CH341CloseDevice(uint32_t index) = 0;
    // Ordinal 38: returns the adapter's pins and stream mode to their idle state.
    virtual bool CH341ResetDevice(uint32_t index) = 0;
    // Ordinal 45: registers the hot-plug callback (deviceId: none given, nullptr). An empty
    // callback unregisters.
    virtual bool CH341SetDeviceNotify(uint32_t index, const char* deviceId, DeviceNotify notify) = 0;
    // Ordinal 51: mode bits 1..0 = I2C speed (20, 100, 400, 750 kHz), bit 7 = SPI MSB first.
    // Non-zero (true) on success.
    virtual bool CH341SetStream(uint32_t index, uint8_t mode) = 0;
    // Ordinal 61: raw command write; the bytes reach the adapter unchanged.
    virtual bool CH341WriteData(uint32_t index, std::span<const uint8_t> buffer) = 0;
    // Ordinal 64: raw command write, then `readCount` replies of at most `readStep` bytes.
    // `reply` must hold readStep * readCount bytes; it may be the same memory as `write`.
    // True when the exchange took place; replyLength = reply bytes received.
    virtual bool CH341WriteRead(uint32_t index, std::span<const uint8_t> write, uint32_t readStep, uint32_t readCount,
                                uint32_t& replyLength, std::span<uint8_t> reply) = 0;
    // Ordinal 57: one four-wire SPI transaction, full duplex in place; chip select is active for
    // exactly this call when bit 7 of chipSelect is set.
    virtual bool CH341StreamSPI4(uint32_t index, uint32_t chipSelect, std::span<uint8_t> buffer) = 0;
    // Ordinal 44.
    virtual bool CH341SetDelaymS(uint32_t index, uint32_t milliseconds) = 0;
    // Ordinals 35 and 62: 24xx block read and write addressed by the type code alone
    // (EepromType 0..12, device address 0xA0). Type 13, or a range beyond the type's size,
    // does nothing and returns false. Writes wait for each page's write cycle.
    virtual bool CH341ReadEEPROM(uint32_t index, uint8_t eepromType, uint32_t address, std::span<uint8_t> buffer) = 0;
    virtual bool CH341WriteEEPROM(uint32_t index, uint8_t eepromType, uint32_t address,
                                  std::span<const uint8_t> buffer) = 0;

    // Outcome of the last operation that reached the transport (UsbStatus::Ok after success).
    virtual UsbStatus lastStatus() const = 0;

    // Beyond the eleven: the same bus traffic packed so the adapter is kept busy, for the workers'
    // inner loops. The defaults build each from the operations above, one exchange per step, so a
    // library that only has the eleven still works (and sees every step).

    // Several four-wire transactions back to back, each with chip select active for its frame,
    // chip select staying inactive for at least `gap` between two frames. One exchange.
    virtual bool CH341StreamSPI4Chain(uint32_t index, uint32_t chipSelect, std::span<const std::span<uint8_t>> frames,
                                      std::chrono::nanoseconds gap = {});
    // CH341StreamSPI4 in two halves: Begin queues the transaction and returns at once (0: it could
    // not be queued), Wait completes it and fills the buffer, which must stay valid until then.
    // Every begun transaction is waited for, in the order begun.
    virtual uint64_t CH341StreamSPI4Begin(uint32_t index, uint32_t chipSelect, std::span<uint8_t> buffer);
    virtual bool CH341StreamSPI4Wait(uint32_t index, uint64_t ticket);
    // 24xx random read: start, the address phase (device byte, memory address), repeated start,
    // `readDevice`, data.size() bytes (1..32, the last not acknowledged), stop. True when the
    // data came back and every byte sent was acknowledged; `data` is only written then.
    virtual bool CH341I2cRandomRead(uint32_t index, std::span<const uint8_t> addressPhase, uint8_t readDevice,
                                    std::span<uint8_t> data);
    // 24xx page write: start, the address phase and the data, each byte's acknowledgement tested,
    // stop; then the wait for the chip's write cycle. `acknowledged` = bytes of addressPhase + data
    // acknowledged before the first refusal, 0 when the exchange failed. False on a refusal, a
    // failed exchange or a write cycle that does not end (acknowledged then counts every byte).
    virtual bool CH341I2cPageWrite(uint32_t index, std::span<const uint8_t> addressPhase, std::span<const uint8_t> data,
                                   std::size_t& acknowledged);
};
