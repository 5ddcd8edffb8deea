#pragma once
// The names of the main window's components (their object names) that the captions, the control
// states, the controller and the window address. Each is a constant of a type of its own, so a
// mistyped name does not compile, where a string would silently reach nothing; the window's test
// checks that it has a component of every name listed here.
#include <cstring>

struct ComponentName {
    const char* text;
    friend bool operator==(ComponentName a, ComponentName b) { return std::strcmp(a.text, b.text) == 0; }
};

// clang-format off
#define VESPERA_COMPONENT_NAMES(X) \
    X(mFile) X(MmFopen) X(MmFsave) X(MmOpenDir) X(MmHistory) X(MmExit) X(MmEdit) X(MmUndo) X(MmCopy) \
    X(MmPaste) X(MmSearch) X(MmBufer) X(MmFillBufer) X(MmSwap) X(MmCheckSum) X(MmOper) X(MmRead) \
    X(MmWrite) X(MmSmartWrite) X(MmCompare) X(ScRun) X(MmSpi) X(MmSpiErase) X(MmCheckFF) X(MmReadId) \
    X(MmRdStatReg) X(MmWrStatReg) X(MmUnprotect) X(MmChipSelect) X(MmChipSelect2) X(MmAutoSel) \
    X(MmSettings) X(MmEmulator) X(MmEmuUnplug) X(MmEmuPlug) X(MmEmuChip) X(MmEmuFault) \
    X(MmEmuFaultUsb) X(MmEmuFaultNak) X(MmEmuFaultBusy) X(MmEmuFaultPulled) X(MmEmuFaultCorrupt) \
    X(MmEmuFaultClear) X(MmEmuLog) X(MmI2C) X(MmI2CFrec) X(Mm_SPEED_LOW) X(Mm_SPEED_NORMAL) \
    X(Mm_SPEED_FAST) X(Mm_SPEED_HIGH) X(MmAck) X(MmVerify) X(MmI2CAdr) X(MmScen) X(ScErase) \
    X(ScCheckFF) X(ScWrite) X(ScCompare) X(MmAutoSave) X(MmDirectory) X(MmExtention) X(MmBin) \
    X(MmBrg) X(MmLang) X(MmRus) X(MmEng) X(OpenDir) X(SPI1) X(I2C1) X(UID1) X(SBFind) X(HexEditor) \
    X(SBOpen) X(SBOpenDir) X(SBSave) X(SBChip) X(SBAutoSel) X(SBId) X(SBReadPopup) X(SBRead) \
    X(SBWrite) X(SBCompare) X(SBScen) X(SBFill) X(SBSwap) X(SBCheckSum) X(SBUndo) X(SBCalc) \
    X(SBStop) X(SBAbout) X(SBErase) X(SBStatRegs) X(SBExit) X(CBSearch) X(ComparePanel) X(EdFind) \
    X(HexPanel) X(MmSep1) X(PMAutoSel) X(PMOpenDir) X(PMRead) X(RELog) X(SpiPanel) X(StatusBar) \
    X(ToolBar) X(ToolBar1) X(ToolBar2)
// clang-format on

namespace component {
#define VESPERA_COMPONENT_CONSTANT(name) inline constexpr ComponentName name{#name};
VESPERA_COMPONENT_NAMES(VESPERA_COMPONENT_CONSTANT)
#undef VESPERA_COMPONENT_CONSTANT

#define VESPERA_COMPONENT_ENTRY(name) name,
inline constexpr ComponentName All[] = {VESPERA_COMPONENT_NAMES(VESPERA_COMPONENT_ENTRY)};
#undef VESPERA_COMPONENT_ENTRY

// The items of the lists the window builds: the I2C bus speeds (by speed index 0..3), the recent
// files (1..10) and the I2C slave addresses (0..255, "N0x00" … "N0xFF").
inline constexpr ComponentName SpeedItems[] = {Mm_SPEED_LOW, Mm_SPEED_NORMAL, Mm_SPEED_FAST, Mm_SPEED_HIGH};
inline constexpr int RecentFileCount = 10;
ComponentName RecentFile(int number);
ComponentName SlaveAddressItem(int address);
} // namespace component
