#pragma once
// Which control each of the three control states turns on or off.
#include "app/ComponentNames.h"
#include "session/ControlState.h"

#include <span>

enum class Switch { Off, On, Keep };

struct ControlRule {
    ComponentName component;
    Switch busy, noAdapter, ready;
    bool spiOnly = false; // stays off while the selected chip is no SPI chip

    Switch in(ControlState state) const { return state == Busy ? busy : state == NoAdapter ? noAdapter : ready; }
};

std::span<const ControlRule> ControlRules();
