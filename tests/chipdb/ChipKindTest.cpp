#include <gtest/gtest.h>

#include "chipdb/ChipKind.h"

using namespace chipdb;

namespace {

struct KindCase {
    const char* kind;
    ChipClass cls;
    int eepromType;
    int addressMode;
    SpiProgramming programming;
    bool idRequired;
};

const KindCase kCases[] = {
    {"ID_24C01", ChipClass::I2c, 0, 1, SpiProgramming::None, true},
    {"ID_24C16", ChipClass::I2c, 4, 1, SpiProgramming::None, true},
    {"ID_24C4096", ChipClass::I2c, 12, 1, SpiProgramming::None, true},
    {"ID_24C", ChipClass::I2c, 13, 1, SpiProgramming::None, true}, // I2C, but no type
    {"ID_SPI1", ChipClass::Spi, 13, 1, SpiProgramming::Page, true},
    {"ID_SPI2", ChipClass::Spi, 13, 2, SpiProgramming::Page, false},
    {"ID_SPI22", ChipClass::Spi, 13, 3, SpiProgramming::Page, false}, // exempt by the substring rule
    {"ID_SPI24", ChipClass::Spi, 13, 4, SpiProgramming::Page, false},
    {"ID_SPI25", ChipClass::Spi, 13, 5, SpiProgramming::Page, false},
    {"ID_SPI3", ChipClass::Spi, 13, 1, SpiProgramming::AutoIncrementWord, true},
    {"xID_SPI9", ChipClass::Spi, 13, 1, SpiProgramming::None, true}, // contains, but outside the catalogue
    {"id_spi1", ChipClass::None, 13, 1, SpiProgramming::None, true}, // case matters
    {"", ChipClass::None, 13, 1, SpiProgramming::None, true},
    {"ID_93C46_16", ChipClass::Microwire, 13, 1, SpiProgramming::None, true},
    {"ID_93C46", ChipClass::None, 13, 1, SpiProgramming::None, true}, // no organisation: no kind
};

} // namespace

TEST(ChipKind, RulesDerivedFromTheKindText)
{
    for (const KindCase& c : kCases) {
        SCOPED_TRACE(c.kind);
        EXPECT_EQ(chipClassOf(c.kind), c.cls);
        EXPECT_EQ(eepromTypeOf(c.kind), c.eepromType);
        EXPECT_EQ(spiAddressModeOf(c.kind), c.addressMode);
        EXPECT_EQ(spiProgrammingOf(c.kind), c.programming);
        EXPECT_EQ(identificationRequired(c.kind), c.idRequired);
    }
}

TEST(ChipKind, CatalogueHoldsExactlyTheListedKinds)
{
    for (auto k : kI2cKinds) EXPECT_TRUE(isCatalogueKind(k)) << k;
    for (auto k : kSpiKinds) EXPECT_TRUE(isCatalogueKind(k)) << k;
    for (const MicrowireKind& k : kMicrowireKinds) EXPECT_TRUE(isCatalogueKind(k.kind)) << k.kind;
    for (auto k : {"ID_24C", "ID_SPI", "id_spi1", "ID_SPI1 ", "ID_93C46", "ID_93C46_16 "})
        EXPECT_FALSE(isCatalogueKind(k)) << k;
}
