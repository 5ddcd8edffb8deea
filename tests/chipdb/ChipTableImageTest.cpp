#include <gtest/gtest.h>

#include <cmath>

#include "chipdb/ChipTableImage.h"

using namespace chipdb;

namespace {

std::vector<ChipRecord> sampleRows()
{
    return {
        {"W25Q64JV", "ID_SPI1", 8388608, 256, 20, "WINBOND", "EF4017", 3},
        {"", "", std::nullopt, std::nullopt, std::nullopt, "", "", std::nullopt}, // all empty
        {"ПРОБА", "ID_24C02", 256, 8, 0.25, "Производитель", "", -1},             // 8-bit/UTF-8 text
        {"1234567890123456789012", "ID_SPI25", 1e300, 0, -0.0, "M", "EF4019 EF7019", 1},
    };
}

std::vector<std::uint8_t> sampleImage()
{
    ChipTable t;
    t.assign(sampleRows());
    std::vector<std::uint8_t> image;
    appendTableImage(t, image);
    return image;
}

} // namespace

TEST(ChipTableImage, RoundTripKeepsRowsAndEmptyFields)
{
    ChipTable back;
    ASSERT_EQ(loadTableImage(sampleImage(), back), ImageError::None);
    EXPECT_EQ(back.rows(), sampleRows());
    EXPECT_TRUE(std::signbit(*back.rows()[3].ERTIME));

    ChipTable none;
    std::vector<std::uint8_t> empty;
    appendTableImage(none, empty);
    ASSERT_EQ(loadTableImage(empty, back), ImageError::None);
    EXPECT_EQ(back.visibleCount(), 0);
}

TEST(ChipTableImage, LongerTextsGivenWholeAreCutSoTheImageLoadsBack)
{
    ChipTable t;
    t.assign({{std::string(300, 'A'), "", 1, 1, 1, "", "", 1}});
    std::vector<std::uint8_t> image;
    appendTableImage(t, image);
    ChipTable back;
    ASSERT_EQ(loadTableImage(image, back), ImageError::None);
    EXPECT_EQ(back.rows()[0].CHIPTEXT, std::string(22, 'A'));
}

TEST(ChipTableImage, EveryTruncationIsRefusedAndLeavesTheTableEmpty)
{
    const auto image = sampleImage();
    for (std::size_t n = 0; n < image.size(); ++n) {
        ChipTable t;
        t.assign(sampleRows());
        EXPECT_EQ(loadTableImage(std::span(image).first(n), t), ImageError::Truncated) << n;
        EXPECT_EQ(t.visibleCount(), 0);
        EXPECT_TRUE(t.rows().empty());
    }
}

TEST(ChipTableImage, DamagedImagesGiveTheirError)
{
    const auto image = sampleImage();
    const std::size_t fieldsEnd = 8 + [] {
        std::size_t n = 0;
        for (const auto& f : kChipFields) n += 1 + f.name.size() + 1 + 2;
        return n;
    }();
    const std::size_t firstRow = fieldsEnd + 4;
    struct Case {
        const char* what;
        std::function<void(std::vector<std::uint8_t>&)> damage;
        ImageError error;
    } const cases[] = {
        {"magic", [](auto& d) { d[0] = 'X'; }, ImageError::BadMagic},
        {"version", [](auto& d) { d[4] = 2; }, ImageError::BadVersion},
        {"field count", [](auto& d) { d[6] = 7; }, ImageError::BadFields},
        {"field name", [](auto& d) { d[9] = 'c'; }, ImageError::BadFields},
        {"field width", [&](auto& d) { d[8 + 1 + 8 + 1] = 23; }, ImageError::BadFields},
        {"huge row count", [&](auto& d) { d[fieldsEnd + 3] = 0xFF; }, ImageError::Truncated},
        {"huge text length", [&](auto& d) { d[firstRow + 1] = 0xFF; }, ImageError::Truncated},
        {"text wider than its field", [&](auto& d) { d[firstRow] = 23; }, ImageError::BadValue},
        {"number flag", [&](auto& d) { d[firstRow + 2 + 8 + 2 + 7] = 2; }, ImageError::BadValue},
        {"bytes after the rows", [](auto& d) { d.push_back(0); }, ImageError::TrailingBytes},
    };
    for (const Case& c : cases) {
        auto damaged = image;
        c.damage(damaged);
        ChipTable t;
        t.assign(sampleRows());
        EXPECT_EQ(loadTableImage(damaged, t), c.error) << c.what;
        EXPECT_TRUE(t.rows().empty()) << c.what;
    }
}
