#pragma once
// The 25xx command set, named once: the SPI family and the emulated chips both speak it.

#include <cstdint>

namespace spi25::op {

inline constexpr uint8_t WriteStatus1 = 0x01;
inline constexpr uint8_t PageProgram = 0x02;
inline constexpr uint8_t Read = 0x03;
inline constexpr uint8_t WriteDisable = 0x04;
inline constexpr uint8_t ReadStatus1 = 0x05;
inline constexpr uint8_t WriteEnable = 0x06;
inline constexpr uint8_t FastRead = 0x0B;
inline constexpr uint8_t PageProgram4Byte = 0x12;
inline constexpr uint8_t Read4Byte = 0x13;
inline constexpr uint8_t FastRead4Byte = 0x0C;
inline constexpr uint8_t ReadStatus3 = 0x15;
inline constexpr uint8_t ReadBankRegister = 0x16;
inline constexpr uint8_t WriteBankRegister = 0x17;
inline constexpr uint8_t WriteStatus3 = 0x11;
inline constexpr uint8_t SectorErase = 0x20;      // 4 KiB
inline constexpr uint8_t SectorErase4Byte = 0x21; // 4 KiB, 4 address bytes
inline constexpr uint8_t WriteStatus2 = 0x31;
inline constexpr uint8_t ReadStatus2 = 0x35;
inline constexpr uint8_t ProtectSector = 0x36;   // AT25DF
inline constexpr uint8_t UnprotectSector = 0x39; // AT25DF
inline constexpr uint8_t ReadSectorProtection = 0x3C;
inline constexpr uint8_t UniqueId = 0x4B;
inline constexpr uint8_t EnableStatusWrite = 0x50; // SST: EWSR, others: volatile status write
inline constexpr uint8_t ReadSfdp = 0x5A;
inline constexpr uint8_t RemsId = 0x90;
inline constexpr uint8_t GlobalBlockUnlock = 0x98; // SST26
inline constexpr uint8_t JedecId = 0x9F;
inline constexpr uint8_t ResId = 0xAB; // also the release from deep power-down
inline constexpr uint8_t AaiWordProgram = 0xAD;
inline constexpr uint8_t Enter4ByteMode = 0xB7;
inline constexpr uint8_t DeepPowerDown = 0xB9; // bank register access on S25FL-S
inline constexpr uint8_t ChipErase = 0xC7;
inline constexpr uint8_t BlockErase = 0xD8; // 64 KiB

// Status register 1 bits every 25xx chip shares.
inline constexpr uint8_t StatusBusy = 0x01;
inline constexpr uint8_t StatusWriteEnabled = 0x02;

// The 25xx EEPROM with one address byte takes address bit 8 in bit 3 of the read and write opcodes.
inline constexpr uint8_t EepromHighHalf = 0x08;

} // namespace spi25::op
