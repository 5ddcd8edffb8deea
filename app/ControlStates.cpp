#include "app/ControlStates.h"

namespace {
constexpr Switch Off = Switch::Off, On = Switch::On, Keep = Switch::Keep;

// The third tool bar (Stop, About, Exit) is never switched: Stop and Exit stay available while an
// operation runs.
constexpr ControlRule rules[] = {
    {"MmFopen", Off, Keep, On},      {"MmFsave", Off, Keep, On},
    {"MmEdit", Off, On, On},         {"MmBufer", Off, On, On},
    {"MmOper", Off, Off, On},        {"MmAutoSel", Off, Off, On},
    {"MmSettings", Off, Keep, On},   {"MmChipSelect", Off, Keep, On},
    {"ToolBar", Off, Keep, On},      {"ToolBar1", Off, Keep, On},
    {"SBRead", Keep, Off, On},       {"SBAutoSel", Keep, Off, On},
    {"SBReadPopup", Keep, Off, On},  {"SBWrite", Keep, Off, On},
    {"SBCompare", Keep, Off, On},    {"SBScen", Keep, Off, On},
    {"SBId", Off, Off, On},          {"SpiPanel", Off, Off, On, true},
};
} // namespace

std::span<const ControlRule> ControlRules()
{
    return rules;
}
