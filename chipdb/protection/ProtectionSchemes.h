#pragma once
// The register layouts of the datasheets, one value each. Bits are (register, bit) with register
// 1..3 read by 05, 35 and 15; "u" marks what the notes hold unconfirmed.

#include "chipdb/protection/ProtectionScheme.h"

namespace chipdb::schemes {

namespace detail {
inline constexpr std::array<OneTimeBit, 4> kSecurityLocks123{{{Sr2(3), "LB1"}, {Sr2(4), "LB2"}, {Sr2(5), "LB3"}, {}}};
inline constexpr std::array<OneTimeBit, 4> kSecurityLocks0123{
    {{Sr2(2), "LB0"}, {Sr2(3), "LB1"}, {Sr2(4), "LB2"}, {Sr2(5), "LB3"}}};
inline constexpr std::array<RegisterBit, 4> kBp2to0At2{Sr1(2), Sr1(3), Sr1(4), {}};
inline constexpr std::array<RegisterBit, 4> kBp3to0At2{Sr1(2), Sr1(3), Sr1(4), Sr1(5)};
inline constexpr std::array<RegisterBit, 4> kBp1to0At2{Sr1(2), Sr1(3), {}, {}};
inline constexpr StatusWriteLayout kOneByteOnly{{0, -1, -1}, false};
} // namespace detail

// Parts the notes say nothing about: BP bits in SR1 bits 5..2 (bit 5 is BP3 on some makers, TB on
// others), SRWD in bit 7; any BP bit set counts as the whole chip protected.
inline constexpr ProtectionScheme kBpAnyWholeChip{
    .id = "bp-any", .rule = RangeRule::AnyBpWholeChip, .bp = detail::kBp3to0At2, .srp0 = Sr1(7), .srp0Name = "SRWD"};

// W25Q FV generation (and BV, CV, DV, older W, L parts): SR1 = SRP0 SEC TB BP2 BP1 BP0 WEL BUSY,
// SR2 = SUS CMP LB3 LB2 LB1 - QE SRP1, SR3 = HOLD/RST DRV1 DRV0 - - WPS - -. SRP1:SRP0 = 1:1 is
// the one-time lock.
inline constexpr ProtectionScheme kWinbondFv{.id = "winbond-fv",
                                             .rule = RangeRule::ScaledSecTbCmp,
                                             .bp = detail::kBp2to0At2,
                                             .tb = Sr1(5),
                                             .sec = Sr1(6),
                                             .cmp = Sr2(6),
                                             .srp0 = Sr1(7),
                                             .srp1 = Sr2(0),
                                             .srpBothSetIsPermanent = true,
                                             .wps = Sr3(2),
                                             .oneTime = detail::kSecurityLocks123,
                                             .writable = {0xFC, 0x7B, 0xE4},
                                             .volatileWriteEnable50 = true};

// W25Q JV generation (and the NW parts): the same bits, named SRP and SRL; SRL = 1 locks until
// power-off whatever SRP holds (a permanent lock is an ordering option, u).
inline constexpr ProtectionScheme kWinbondJv = [] {
    ProtectionScheme s = kWinbondFv;
    s.id = "winbond-jv";
    s.srp0Name = "SRP";
    s.srp1Name = "SRL";
    s.srpBothSetIsPermanent = false;
    return s;
}();

// W25Q256/W25Q512: BP3..BP0 in SR1 bits 5..2, TB in bit 6, no SEC; CMP and SRP1/SRL as above.
inline constexpr ProtectionScheme kWinbond256Fv = [] {
    ProtectionScheme s = kWinbondFv;
    s.id = "winbond-256fv";
    s.rule = RangeRule::Blocks64K;
    s.bp = detail::kBp3to0At2;
    s.tb = Sr1(6);
    s.sec = {};
    return s;
}();
inline constexpr ProtectionScheme kWinbond256Jv = [] {
    ProtectionScheme s = kWinbond256Fv;
    s.id = "winbond-256jv";
    s.srp0Name = "SRP";
    s.srp1Name = "SRL";
    s.srpBothSetIsPermanent = false;
    return s;
}();

// GigaDevice GD25Q64C: the W25Q FV bits (the datasheet calls TB and SEC BP3 and BP4); no WPS;
// SR3 = - DRV1 DRV0 HPF - - - -.
inline constexpr ProtectionScheme kGd25q64c = [] {
    ProtectionScheme s = kWinbondFv;
    s.id = "gd25q64c";
    s.wps = {};
    s.writable = {0xFC, 0x7B, 0x70};
    return s;
}();

// GigaDevice GD25Q128C (GD25Q127C, GD25Q128E): the W25Q FV bits with WPS in SR3 bit 2.
inline constexpr ProtectionScheme kGd25q128c = [] {
    ProtectionScheme s = kWinbondFv;
    s.id = "gd25q128c";
    return s;
}();

// XMC XM25QH128C: the W25Q FV bits, no WPS; SR3 = HOLD/RST DRV1 DRV0 - - - DC1 DC0.
inline constexpr ProtectionScheme kXm25qh128c = [] {
    ProtectionScheme s = kWinbondFv;
    s.id = "xm25qh128c";
    s.wps = {};
    s.writable = {0xFC, 0x7B, 0xE3};
    return s;
}();

// Cypress S25FL128L/256L: SR1 as W25Q; CR1 (35) = SUS CMP LB3 LB2 LB1 LB0 QE SRP1, CR2 (15) =
// IO3R OI1 OI0 - QPI WPS ADP -. Written only by 01 with SR1, CR1, CR2 in that order.
inline constexpr ProtectionScheme kS25flL = [] {
    ProtectionScheme s = kWinbondFv;
    s.id = "s25fl-l";
    s.oneTime = detail::kSecurityLocks0123;
    s.writable = {0xFC, 0x7F, 0xEE};
    s.writes = {{0, 1, 2}, false};
    return s;
}();

// GigaDevice GD25Q256D (GD25Q256E, GD25B256D/E, GD25R256E): BP3..BP0 in SR1 bits 5..2, TB in
// bit 6, no SEC and no CMP; SRP1 in SR2 bit 6 (where Winbond keeps CMP), LB3..LB1 bits 5..3.
inline constexpr ProtectionScheme kGd25q256d{.id = "gd25q256d",
                                             .rule = RangeRule::Blocks64K,
                                             .bp = detail::kBp3to0At2,
                                             .tb = Sr1(6),
                                             .srp0 = Sr1(7),
                                             .srp1 = Sr2(6),
                                             .srpBothSetIsPermanent = true,
                                             .oneTime = detail::kSecurityLocks123,
                                             .writable = {0xFC, 0x7A, 0xF0},
                                             .volatileWriteEnable50 = true};

// GigaDevice GD25Q256C: QE in SR1 bit 6, BP3..BP0 bits 5..2, TB in SR2 bit 3, WPS in SR3 bit 7.
inline constexpr ProtectionScheme kGd25q256c{.id = "gd25q256c",
                                             .rule = RangeRule::Blocks64K,
                                             .bp = detail::kBp3to0At2,
                                             .tb = Sr2(3),
                                             .srp0 = Sr1(7),
                                             .wps = Sr3(7)};

// Macronix MX25L6433F, MX25L12835F: SR = SRWD QE BP3 BP2 BP1 BP0 WEL WIP; TB in bit 3 of the
// configuration register (15, second byte of 01), one-time programmable. No SRP1.
inline constexpr ProtectionScheme kMacronixOtpTb{.id = "macronix-otp-tb",
                                                 .rule = RangeRule::Blocks64K,
                                                 .bp = detail::kBp3to0At2,
                                                 .tb = Sr3(3),
                                                 .srp0 = Sr1(7),
                                                 .srp0Name = "SRWD",
                                                 .oneTime = {{{Sr3(3), "TB", OneTimeMeaning::BottomProtection}}},
                                                 .writable = {0xFC, 0x00, 0xCF},
                                                 .writes = {{0, 2, -1}, false}};

// Micron MT25Q and N25Q: SR = SRWD BP3 TB BP2 BP1 BP0 WEL WIP (BP3 in bit 6).
inline constexpr ProtectionScheme kMicron{.id = "micron",
                                          .rule = RangeRule::Blocks64K,
                                          .bp = {Sr1(2), Sr1(3), Sr1(4), Sr1(6)},
                                          .tb = Sr1(5),
                                          .srp0 = Sr1(7),
                                          .srp0Name = "SRWD",
                                          .writable = {0xFC, 0x00, 0x00},
                                          .writes = detail::kOneByteOnly};

// SST25VF040B/016B family: SR = BPL AAI BP3 BP2 BP1 BP0 WEL BUSY; BP2..BP0 count 64 KiB blocks
// from the top; every block protected after power-up.
inline constexpr ProtectionScheme kSst25{.id = "sst25",
                                         .rule = RangeRule::Blocks64K,
                                         .bp = detail::kBp2to0At2,
                                         .srp0 = Sr1(7),
                                         .srp0Name = "BPL",
                                         .writable = {0xBC, 0x00, 0x00},
                                         .writes = detail::kOneByteOnly,
                                         .powersUpProtected = true,
                                         .powerUpStatus = {0x1C, 0, 0}};

// SST25VF020B: only BP1 and BP0.
inline constexpr ProtectionScheme kSst25vf020b = [] {
    ProtectionScheme s = kSst25;
    s.id = "sst25vf020b";
    s.bp = detail::kBp1to0At2;
    s.writable = {0x8C, 0x00, 0x00};
    s.powerUpStatus = {0x0C, 0, 0};
    return s;
}();

// MX25L2026 (E variant): SR = SRWD - - - BP1 BP0 WEL WIP.
inline constexpr ProtectionScheme kMx25l2026{.id = "mx25l2026",
                                             .rule = RangeRule::Blocks64K,
                                             .bp = detail::kBp1to0At2,
                                             .srp0 = Sr1(7),
                                             .srp0Name = "SRWD",
                                             .writable = {0x8C, 0x00, 0x00},
                                             .writes = detail::kOneByteOnly};

// Atmel/Adesto AT25DF, AT26DF: SR = SPRL SPM EPE WPP SWP1 SWP0 WEL RDY/BSY; every sector
// protected after power-up (SR 1C with /WP high).
inline constexpr ProtectionScheme kAt25df{.id = "at25df",
                                          .rule = RangeRule::SectorRegisters,
                                          .bp = detail::kBp1to0At2,
                                          .sprl = Sr1(7),
                                          .writes = detail::kOneByteOnly,
                                          .powersUpProtected = true,
                                          .powerUpStatus = {0x1C, 0, 0}};

// SST26: the status registers hold no protection; the block protection register locks every
// block after power-up.
inline constexpr ProtectionScheme kSst26{.id = "sst26", .rule = RangeRule::BlockRegister, .powersUpProtected = true};

// 25xx SPI EEPROMs: SR = WPEN (SRWD) - - - BP1 BP0 WEL WIP.
inline constexpr ProtectionScheme kEeprom25{.id = "eeprom25",
                                            .rule = RangeRule::EepromQuarters,
                                            .bp = detail::kBp1to0At2,
                                            .srp0 = Sr1(7),
                                            .srp0Name = "WPEN",
                                            .writable = {0x8C, 0x00, 0x00},
                                            .writes = detail::kOneByteOnly};

// Mask ROMs (MX23L): read only; status writes change nothing.
inline constexpr ProtectionScheme kMaskRom{.id = "mask-rom",
                                           .rule = RangeRule::ReadOnly,
                                           .bp = {},
                                           .writable = {0x00, 0x00, 0x00},
                                           .writes = {{-1, -1, -1}, false}};

} // namespace chipdb::schemes
