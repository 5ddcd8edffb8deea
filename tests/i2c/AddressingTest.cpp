#include "I2cFixture.h"

#include "adapter/Uch_i2c.h"
#include "i2c/IICAddressing.h"

namespace {

struct AddressCase {
    const char* kind;
    uint32_t size;
    uint32_t address;
    uint8_t base;    // SlaveAddress; the emulated chip answers to it with bit 0 clear
    const char* bus; // address phase, repeated start, read-phase device byte
};

class AddressPhaseTest : public I2cTest, public ::testing::WithParamInterface<AddressCase> {};

// The chip decodes the phase: the byte read afterwards must be the one at the address.
TEST_P(AddressPhaseTest, ReachesTheAddressedByte)
{
    const AddressCase& c = GetParam();
    auto config = I2cChip(c.kind, c.size, 8);
    config.i2cDeviceAddress = c.base & 0xFE;
    EmulatedI2c adapter(config);
    const auto type = *I2cTypeOfKind(c.kind);
    adapter.emulator->setLogging(true);

    ASSERT_TRUE(IICStart(adapter.device, AdapterIndex));
    ASSERT_TRUE(IICSendAddress(adapter.device, c.address, type, c.base));
    ASSERT_TRUE(IICStart(adapter.device, AdapterIndex));
    ASSERT_TRUE(IICWriteByte(adapter.device, AdapterIndex, AddressPhaseOf(c.address, type, c.base).readDeviceByte()));
    EXPECT_EQ(adapter.emulator->takeLog().i2cText(), c.bus);

    uint8_t value = 0;
    ASSERT_TRUE(IICReadLastByte(adapter.device, AdapterIndex, value));
    EXPECT_EQ(value, Pattern(c.address));
}

INSTANTIATE_TEST_SUITE_P(EveryTypeRow, AddressPhaseTest,
                         ::testing::Values(AddressCase{"ID_24C01", 128, 0x40, 0xA0, "S A0+ 40+ S A1+"},
                                           AddressCase{"ID_24C02", 256, 0x40, 0xA6, "S A6+ 40+ S A7+"},
                                           AddressCase{"ID_24C04", 512, 0x1F0, 0xA0, "S A2+ F0+ S A3+"},
                                           AddressCase{"ID_24C16", 2048, 0x7E0, 0xA0, "S AE+ E0+ S AF+"},
                                           AddressCase{"ID_24C256", 32768, 0x7FE0, 0xA0, "S A0+ 7F+ E0+ S A1+"},
                                           AddressCase{"ID_24C512", 65536, 0xABCD, 0xA2, "S A2+ AB+ CD+ S A3+"},
                                           AddressCase{"ID_24C1024", 131072, 0x1FFE0, 0xA0, "S A2+ FF+ E0+ S A3+"},
                                           AddressCase{"ID_24C2048", 262144, 0x3FFE0, 0xA0, "S A6+ FF+ E0+ S A7+"},
                                           AddressCase{"ID_24C4096", 524288, 0x7FFE0, 0xA0, "S AE+ FF+ E0+ S AF+"}));

TEST_F(I2cTest, OddBaseIsSentUnchangedAndTheChipRefusesTheAddressByte)
{
    EmulatedI2c adapter(I2cChip("ID_24C02", 256, 8));
    adapter.emulator->setLogging(true);
    IICStart(adapter.device, AdapterIndex);
    EXPECT_FALSE(IICSendAddress(adapter.device, 0x40, 1, 0xA1));
    EXPECT_EQ(adapter.emulator->takeLog().i2cText(), "S A1+ 40-");
}

TEST_F(I2cTest, TypeWithoutAddressFormatSendsNothing)
{
    EmulatedI2c adapter(I2cChip("ID_24C02", 256, 8));
    adapter.emulator->setLogging(true);
    EXPECT_EQ(AddressPhaseOf(0x40, 13, 0xA0).length, 0);
    EXPECT_FALSE(IICSendAddress(adapter.device, 0x40, 13, 0xA0));
    EXPECT_EQ(adapter.emulator->takeLog().i2cText(), "");
}

TEST(DeviceAddressOverride, OnlyTheExactChipTextIsFixedAt0xA8)
{
    EXPECT_EQ(DeviceAddressOverride("PCA24S08"), 0xA8);
    EXPECT_EQ(DeviceAddressOverride("PCA24S08X"), std::nullopt);
    EXPECT_EQ(DeviceAddressOverride("pca24s08"), std::nullopt);
    EXPECT_EQ(DeviceAddressOverride(""), std::nullopt);
}

} // namespace
