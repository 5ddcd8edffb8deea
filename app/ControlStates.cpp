#include "app/ControlStates.h"

namespace {
constexpr Switch Off = Switch::Off, On = Switch::On, Keep = Switch::Keep;

// The third tool bar (Stop, About, Exit) is never switched: Stop and Exit stay available while an
// operation runs.
constexpr ControlRule rules[] = {
    {component::MmFopen, Off, Keep, On},     {component::MmFsave, Off, Keep, On},
    {component::MmEdit, Off, On, On},        {component::MmBufer, Off, On, On},
    {component::MmOper, Off, Off, On},       {component::MmAutoSel, Off, Off, On},
    {component::MmSettings, Off, Keep, On},  {component::MmChipSelect, Off, Keep, On},
    {component::ToolBar, Off, Keep, On},     {component::ToolBar1, Off, Keep, On},
    {component::SBRead, Keep, Off, On},      {component::SBAutoSel, Keep, Off, On},
    {component::SBReadPopup, Keep, Off, On}, {component::SBWrite, Keep, Off, On},
    {component::SBCompare, Keep, Off, On},   {component::SBScen, Keep, Off, On},
    {component::SBId, Off, Off, On},         {component::SpiPanel, Off, Off, On, true},
};
} // namespace

std::span<const ControlRule> ControlRules()
{
    return rules;
}
