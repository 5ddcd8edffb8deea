#pragma once
// The text of --emulate-fault=KIND[@N]: usb, nak, busy, pulled or corrupt, striking after N more
// OUT packets (32 when N is left out, so that the operation is under way).
#include "adapter/emulator/EmulatedCh341.h"

#include <cstdint>
#include <optional>
#include <string_view>

struct FaultPlan {
    EmulatedFault fault = EmulatedFault::UsbError;
    uint64_t afterPackets = 32;
};

std::optional<FaultPlan> ParseFaultPlan(std::string_view text);
