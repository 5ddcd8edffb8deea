#include <cstring>
#include <random>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "buffer/CheckSum.h"
#include "buffer/Crc.h"

namespace {

std::span<const std::uint8_t> Bytes(std::string_view text)
{
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// Bit by bit, straight from the definition of CRC-16/ARC.
std::uint16_t ReferenceCrc16(std::span<const std::uint8_t> bytes)
{
    unsigned crc = 0;
    for (const std::uint8_t byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
    }
    return static_cast<std::uint16_t>(crc);
}

TEST(Crc, PublishedCheckValues)
{
    const std::vector<std::uint8_t> ff(256, 0xFF);
    struct Case {
        std::span<const std::uint8_t> bytes;
        std::uint16_t crc16;
        std::uint32_t crc32;
    } cases[] = {
        {Bytes("123456789"), 0xBB3D, 0xCBF43926},
        {{}, 0x0000, 0x00000000},
        {ff, 0x5440, 0xFEA8A821},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CRC16(c.bytes), c.crc16);
        EXPECT_EQ(CRC32(c.bytes), c.crc32);
    }
}

TEST(Crc, Crc16MatchesDefinitionForEveryLengthAndAlignment)
{
    std::vector<std::uint8_t> data(100);
    std::mt19937 random(7);
    for (auto& byte : data) byte = static_cast<std::uint8_t>(random());
    for (std::size_t start = 0; start < 8; ++start)
        for (std::size_t length = 0; start + length <= data.size(); ++length) {
            const auto part = std::span(data).subspan(start, length);
            ASSERT_EQ(CRC16(part), ReferenceCrc16(part)) << start << "+" << length;
        }
    // Pieces give the same CRC as the whole.
    EXPECT_EQ(CRC16Update(CRC16(std::span(data).first(13)), std::span(data).subspan(13)), CRC16(data));
}

TEST(Crc, RangeIsClampedToTheBlock)
{
    const auto digits = Bytes("xx123456789");
    EXPECT_EQ(CRC16OfRange(digits, 2, 0), 0xBB3D); // 0: to the end
    EXPECT_EQ(CRC16OfRange(digits, 2, 9), 0xBB3D);
    EXPECT_EQ(CRC16OfRange(digits, 2, 1000), 0xBB3D); // past the end
    EXPECT_EQ(CRC16OfRange(digits, 50, 4), 0x0000);   // starts past the end
}

TEST(CheckSum, LineForPlainModeAndNothingAfterCompareOrBlankCheck)
{
    const std::vector<std::uint8_t> ff(256, 0xFF);
    const CheckSumResult plain = CheckSum(ff, false, false);
    EXPECT_EQ(plain.text, (TextPair{"Check Sum: CRC16 = 0x5440, CRC32 = 0xFEA8A821",
                                    "Контрольная сумма: CRC16 = 0x5440, CRC32 = 0xFEA8A821"}));
    EXPECT_EQ(CheckSum({}, false, false).text.en, "Check Sum: CRC16 = 0x0000, CRC32 = 0x00000000");
    EXPECT_EQ(CheckSum(ff, true, false).text, TextPair{});
    EXPECT_EQ(CheckSum(ff, false, true).text, TextPair{});
}

} // namespace
