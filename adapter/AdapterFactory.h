#pragma once
// Start-up choice of the adapter: the real CH341A through libusb, or the emulated one with a
// chip in its socket. The app parses its command line into AdapterOptions and calls
// CreateAdapter once.

#include "adapter/bus/Adapter.h"
#include "adapter/emulator/EmulatedCh341.h"
#include "adapter/emulator/EmulatedChipConfig.h"

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>

struct AdapterOptions {
    bool emulate = false;
    EmulatedChipConfig chip = DefaultEmulatedChip();
    std::filesystem::path imageFile;               // --emulate-image=FILE; empty keeps the chip in memory only
    double timeScale = 1.0;                        // emulated time per real time (Fast pace)
    std::chrono::microseconds roundTripLatency{0}; // real time per exchange, as over USB (Fast pace)
    // RealAdapter: the emulated adapter takes as long as the real one would, in real time
    // (--emulate); Fast: as quick as it can, time scaled by timeScale (--emulate-fast, tests).
    AdapterPace pace = AdapterPace::Fast;
    std::optional<std::array<uint8_t, 3>> statusPreset; // --emulate-status (ParseStatusPreset)
    std::filesystem::path logFile;                      // --emulate-log=FILE: the bus log file
};

struct Adapter {
    std::shared_ptr<bus::Adapter> device;
    std::shared_ptr<EmulatedCh341> emulator; // null for the real adapter
    bool logFileFailed = false;              // the bus log file could not be written
};

Adapter CreateAdapter(const AdapterOptions& options);
