#include "I2cFixture.h"

#include "i2c/IICFastPath.h"

namespace {

TEST_F(I2cTest, FastWriteThenFastReadGiveTheImageBack)
{
    EmulatedI2c adapter(I2cChip("ID_24C256", 32768, 64));
    SlaveAddress = 0x42; // the block operations address by type code alone
    std::vector<uint8_t> image(32768);
    for (uint32_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 31 + 7);

    const auto written = IICFastWrite(adapter.device, 8, 32768, image);
    ASSERT_TRUE(written);
    EXPECT_GE(*written, 0.0f);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), adapter.chip().begin()));

    std::vector<uint8_t> back(40000, 0);
    const auto read = IICFastRead(adapter.device, 8, 32768, back);
    ASSERT_TRUE(read);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), back.begin()));
    EXPECT_EQ(back[32768], 0); // nothing past the chip size
}

struct RefusedCase {
    uint8_t type;
    uint32_t size;
};

class FastPathRefused : public I2cTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(FastPathRefused, NothingReachesTheChipOrTheBuffer)
{
    EmulatedI2c adapter(I2cChip("ID_24C02", 256, 8));
    adapter.emulator->setLogging(true);
    std::vector<uint8_t> buffer(256, 0x5A);

    EXPECT_FALSE(IICFastRead(adapter.device, GetParam().type, GetParam().size, buffer));
    EXPECT_FALSE(IICFastWrite(adapter.device, GetParam().type, GetParam().size, buffer));
    EXPECT_EQ(adapter.emulator->takeLog().i2cText(), "");
    EXPECT_TRUE(std::all_of(buffer.begin(), buffer.end(), [](uint8_t b) { return b == 0x5A; }));
}

INSTANTIATE_TEST_SUITE_P(Cases, FastPathRefused,
                         ::testing::Values(RefusedCase{13, 256},  // no 24xx kind
                                           RefusedCase{1, 257})); // larger than the buffer

} // namespace
