#pragma once
// The three states of the operation controls and which control each state turns on or off.
#include <span>

enum ControlState { Busy = 0, NoAdapter = 1, Ready = 2 };

enum class Switch { Off, On, Keep };

struct ControlRule {
    const char *component;
    Switch busy, noAdapter, ready;

    Switch in(ControlState state) const { return state == Busy ? busy : state == NoAdapter ? noAdapter : ready; }
};

std::span<const ControlRule> ControlRules();
