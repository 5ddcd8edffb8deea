// The chip value a database row becomes: the kind's rules and the traits of the part's name.
#include "chipdb/Chip.h"

#include <gtest/gtest.h>

namespace {

using namespace chipdb;

Chip FromRow(const char* name, const char* kind, double size = 65536, double page = 256)
{
    ChipRecord row;
    row.CHIPTEXT = name;
    row.CHIPID = kind;
    row.CHIPSIZE = size;
    row.PAGESIZE = page;
    row.FREQUENCY = 1;
    return ChipFromRecord(row);
}

TEST(ChipValue, KindRulesBecomeFields)
{
    const Chip flash = FromRow("W25Q64FV", "ID_SPI1");
    EXPECT_EQ(flash.family, Family::Spi25);
    EXPECT_EQ(flash.writeMethod, SpiWriteMethod::Page);
    EXPECT_TRUE(flash.hasChipErase && flash.needsErase && flash.identificationRequired);

    const Chip eeprom = FromRow("25LC040", "ID_SPI22", 512, 16);
    EXPECT_EQ(eeprom.addressMode, SpiAddress1);
    EXPECT_FALSE(eeprom.hasChipErase || eeprom.needsErase || eeprom.identificationRequired);

    const Chip sst = FromRow("SST25VF016B", "ID_SPI3");
    EXPECT_EQ(sst.writeMethod, SpiWriteMethod::AaiWord);
    EXPECT_TRUE(sst.statusWriteNeedsEwsr);

    EXPECT_EQ(FromRow("24C16", "ID_24C16", 2048, 16).eepromType, 4);
    EXPECT_EQ(FromRow("24C", "ID_24C").family, Family::I2c24);    // no type code, still a 24xx
    EXPECT_EQ(FromRow("x", "id_spi1").family, Family::None);      // kinds are case-sensitive
    EXPECT_EQ(FromRow("huge", "ID_SPI25", 1e12).size, 64u << 20); // cut to the largest chip
}

TEST(ChipValue, MicrowireKindsGiveOrganisationAddressWidthAndWord)
{
    const Chip x8 = FromRow("93C56_8", "ID_93C56_8", 256, 1);
    EXPECT_EQ(x8.family, Family::Microwire93);
    EXPECT_EQ(x8.organisation, Organisation::X8);
    EXPECT_EQ(x8.addressBits, 9); // one don't-care bit above the 256 bytes
    EXPECT_EQ(x8.wordBytes(), 1u);
    EXPECT_GT(x8.busyLimit, x8.writeCycle);

    const Chip x16 = FromRow("93C86_16", "ID_93C86_16", 2048, 256); // a page size from the row is no word
    EXPECT_EQ(x16.organisation, Organisation::X16);
    EXPECT_EQ(x16.addressBits, 10);
    EXPECT_EQ(x16.pageSize, 2u);
    EXPECT_EQ(x16.size, 2048u);
    // A row larger than the part, or not in whole words, is cut to what the part holds.
    EXPECT_EQ(FromRow("93C46_16", "ID_93C46_16", 4096, 2).size, 128u);
    EXPECT_EQ(FromRow("93C46_16", "ID_93C46_16", 33, 2).size, 32u);
}

TEST(ChipValue, NameTraitsComeFromOneTable)
{
    EXPECT_EQ(FromRow("AT25DF041A", "ID_SPI1").unprotect, UnprotectQuirk::GlobalUnprotectTwice);
    EXPECT_EQ(FromRow("AT25DF041A", "ID_SPI1").eraseCheckIgnoredBits, 0x10);
    EXPECT_EQ(FromRow("AT26DF161", "ID_SPI1").unprotect, UnprotectQuirk::None);
    EXPECT_EQ(FromRow("AT26DF161", "ID_SPI1").eraseCheckIgnoredBits, 0x10);
    EXPECT_EQ(FromRow("SST26VF016B", "ID_SPI1").unprotect, UnprotectQuirk::BlockLockRegister);
    EXPECT_EQ(FromRow("mx25l2026", "ID_SPI1").unprotect, UnprotectQuirk::EraseSequence);
    EXPECT_EQ(FromRow("PCA24S08", "ID_24C08").fixedDeviceAddress, uint8_t(0xA8));
    EXPECT_EQ(FromRow("24C08", "ID_24C08").fixedDeviceAddress, std::nullopt);
    EXPECT_EQ(FromRow("S25FL128S", "ID_SPI1").b9, B9Meaning::BankRegisterAccess);
    EXPECT_EQ(FromRow("S25FL128L", "ID_SPI1").b9, B9Meaning::DeepPowerDown);
    EXPECT_EQ(FromRow("W25Q64FV", "ID_SPI1").unprotect, UnprotectQuirk::None);
}

} // namespace
