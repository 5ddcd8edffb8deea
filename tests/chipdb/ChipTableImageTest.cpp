#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <functional>

#include "chipdb/ChipTableImage.h"

using namespace chipdb;

namespace {

std::vector<ChipRecord> sampleRows()
{
    return {
        {"W25Q64JV", "ID_SPI1", 8388608, 256, 20, "WINBOND", "EF4017", 3, 2700, 3600},
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

namespace {

// An image written field by field, as another version of the program would write it.
struct ImageWriter {
    std::vector<std::uint8_t> bytes;
    void le(std::uint64_t v, int n)
    {
        for (int i = 0; i < n; ++i) bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
    void text(std::string_view s)
    {
        le(s.size(), 2);
        bytes.insert(bytes.end(), s.begin(), s.end());
    }
    void number(double v)
    {
        le(1, 1);
        le(std::bit_cast<std::uint64_t>(v), 8);
    }
    void field(std::string_view name, int type, int width)
    {
        le(name.size(), 1);
        bytes.insert(bytes.end(), name.begin(), name.end());
        le(type, 1);
        le(width, 2);
    }
};

// The image of one W25Q64FV row with the eight original fields, and `extra` fields after them.
std::vector<std::uint8_t> OriginalImage(const std::vector<std::pair<std::string_view, int>>& extra = {})
{
    ImageWriter w;
    w.bytes = {'V', 'C', 'T', 'B'};
    w.le(1, 2);
    w.le(8 + extra.size(), 2);
    for (int i = 0; i < kRequiredFieldCount; ++i)
        w.field(kChipFields[i].name, static_cast<int>(kChipFields[i].type), kChipFields[i].width);
    for (const auto& [name, type] : extra) w.field(name, type, type == 1 ? 30 : 0);
    w.le(1, 4);
    w.text("W25Q64FV");
    w.text("ID_SPI1");
    w.number(8388608);
    w.number(256);
    w.number(20);
    w.text("WINBOND");
    w.text("EF4017");
    w.number(3);
    for (const auto& [name, type] : extra) type == 1 ? w.text("note") : w.number(2700);
    return w.bytes;
}

} // namespace

// Files written before the voltage fields load with the voltage unknown; a field that a later
// version adds is read past, one of ours is taken by its name wherever it stands.
TEST(ChipTableImage, OlderAndNewerFieldSetsLoad)
{
    const ChipRecord w25q{"W25Q64FV", "ID_SPI1", 8388608, 256, 20, "WINBOND", "EF4017", 3};
    ChipTable t;
    ASSERT_EQ(loadTableImage(OriginalImage(), t), ImageError::None);
    ASSERT_EQ(t.rows().size(), 1u);
    EXPECT_EQ(t.rows()[0], w25q);

    ASSERT_EQ(loadTableImage(OriginalImage({{"NOTES", 1}, {"TPP", 2}}), t), ImageError::None);
    EXPECT_EQ(t.rows()[0], w25q);

    ASSERT_EQ(loadTableImage(OriginalImage({{"VMAX", 2}}), t), ImageError::None);
    EXPECT_EQ(t.rows()[0].VMAX, 2700);
    EXPECT_FALSE(t.rows()[0].VMIN);

    EXPECT_EQ(loadTableImage(OriginalImage({{"CHIPSIZE", 2}}), t), ImageError::BadFields) << "a field twice";
    EXPECT_EQ(loadTableImage(OriginalImage({{"VMIN", 1}}), t), ImageError::BadFields) << "VMIN as text";
    EXPECT_TRUE(t.rows().empty());
}
