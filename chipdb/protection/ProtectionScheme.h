#pragma once
// Where a SPI flash or EEPROM keeps its write-protection fields, and the rule that turns them into
// a protected address range. One value per register layout that the datasheets describe; which
// chip has which layout is ProtectionTraits.h. Plain data: the program decides and the emulator
// behaves from the same values (ProtectedRange.h, StatusWriteConsequences.h).

#include <array>
#include <cstdint>
#include <string_view>

namespace chipdb {

// The status registers as the program reads them, with 05, 35 and 15. On Macronix parts the
// third is the configuration register (read with 15, written as the second byte of 01).
using StatusBytes = std::array<std::uint8_t, 3>;

// One bit of StatusBytes, or none.
struct RegisterBit {
    std::int8_t reg = -1; // 0..2; -1: the part has no such bit
    std::uint8_t bit = 0;

    constexpr bool exists() const { return reg >= 0; }
    constexpr std::uint8_t mask() const { return exists() ? static_cast<std::uint8_t>(1u << bit) : 0; }
    constexpr bool isSet(const StatusBytes& r) const { return exists() && (r[reg] & mask()) != 0; }
};

constexpr RegisterBit Sr1(int bit)
{
    return {0, static_cast<std::uint8_t>(bit)};
}
constexpr RegisterBit Sr2(int bit)
{
    return {1, static_cast<std::uint8_t>(bit)};
}
constexpr RegisterBit Sr3(int bit)
{
    return {2, static_cast<std::uint8_t>(bit)};
}

// How the protection fields select the protected part of the array.
enum class RangeRule : std::uint8_t {
    // The layout is not known beyond "BP bits": any of them set may protect anything, so the whole
    // chip counts as protected and the range is not exact. The program's long-standing reading
    // of parts the datasheet notes say nothing about.
    AnyBpWholeChip,
    // BP2..BP0 with TB, SEC and CMP (W25Q, GD25Q64C/128C, XM25QH128C, S25FL-L): n = BP; 0 none,
    // 7 all; SEC = 0: max(64 KiB, size / 64) x 2^(n-1); SEC = 1: 4 KiB x 2^(n-1), at most 32 KiB;
    // from the top, from the bottom with TB; CMP = 1 protects the complement.
    ScaledSecTbCmp,
    // BPn..BP0 count 64 KiB x 2^(n-1) from the top (from the bottom with TB), capped at the chip;
    // all BP bits set protect everything; CMP, where the part has it, complements (GD25Q256D,
    // W25Q256/512, Macronix, Micron, SST25, MX25L2026).
    Blocks64K,
    // 25xx EEPROM BP1:BP0: none, the upper quarter, the upper half, all.
    EepromQuarters,
    // AT25DF/AT26DF: a protection register per sector; the status register's SWP field only says
    // none (00), some (01) or all (11).
    SectorRegisters,
    // SST26: a volatile block protection register outside the status registers, every block
    // locked at power-up until a global unlock (98); the status registers say nothing.
    BlockRegister,
    // A mask ROM: nothing can be written, ever.
    ReadOnly,
};

// What a one-time programmable bit does once it is set.
enum class OneTimeMeaning : std::uint8_t {
    SecurityRegisterLock, // LBn: the security register can never be written or erased again
    BottomProtection,     // Macronix TB: the protected area counts from the bottom for ever
};

struct OneTimeBit {
    RegisterBit bit;
    std::string_view name; // as the datasheet names it: "LB1", "TB"
    OneTimeMeaning meaning = OneTimeMeaning::SecurityRegisterLock;
};

// Which register each data byte of 01 lands in, and whether 31 and 11 write registers 2 and 3.
struct StatusWriteLayout {
    std::array<std::int8_t, 3> order01{0, 1, -1}; // -1 ends the list
    bool separateCommands = true;
};

struct ProtectionScheme {
    std::string_view id; // short stable name for tests, logs and the traits table
    RangeRule rule = RangeRule::AnyBpWholeChip;
    std::array<RegisterBit, 4> bp{}; // BP0..BP3 (SWP1:SWP0 for SectorRegisters)
    RegisterBit tb, sec, cmp;
    // SRP0 (SRWD, BPL, WPEN): the registers refuse writes while /WP is low.
    RegisterBit srp0;
    std::string_view srp0Name = "SRP0";
    // SRP1 (SRL): set, the registers refuse writes until the next power-up; with SRP0 also set
    // that lock is for ever where srpBothSetIsPermanent (W25Q FV, GD, XMC, S25FL-L).
    RegisterBit srp1;
    std::string_view srp1Name = "SRP1";
    bool srpBothSetIsPermanent = false;
    // Set, per-block lock bits replace BP, TB, SEC and CMP; they power up locked.
    RegisterBit wps;
    // AT25DF SPRL: the sector protection registers refuse changes (until cleared or power-up).
    RegisterBit sprl;
    // Bits a status write can set but never clear again.
    std::array<OneTimeBit, 4> oneTime{};
    // Bits a status write changes; the rest are read-only or reserved.
    StatusBytes writable{0xFC, 0xFF, 0xFF};
    StatusWriteLayout writes;
    // 50 then 01/31/11 writes a volatile copy of the registers (Winbond style); otherwise 50
    // enables the next non-volatile write (SST's EWSR).
    bool volatileWriteEnable50 = false;
    // The part comes out of every power-up write-protected with powerUpStatus (SST25, AT25DF,
    // SST26): a saved status does not survive a power cycle.
    bool powersUpProtected = false;
    StatusBytes powerUpStatus{0, 0, 0};

    // Number of BP bits the part has, and their value in `r`.
    constexpr int bpCount() const
    {
        int n = 0;
        while (n < 4 && bp[n].exists()) ++n;
        return n;
    }
    constexpr unsigned bpValue(const StatusBytes& r) const
    {
        unsigned n = 0;
        for (int i = 0; i < bpCount(); ++i)
            if (bp[i].isSet(r)) n |= 1u << i;
        return n;
    }
    // Mask of the bits of register `reg` that are one-time programmable.
    constexpr std::uint8_t oneTimeMask(int reg) const
    {
        std::uint8_t m = 0;
        for (const OneTimeBit& b : oneTime)
            if (b.bit.reg == reg) m |= b.bit.mask();
        return m;
    }
};

} // namespace chipdb
