#include "session/ChipDrivers.h"

#include "i2c24/I2c24Driver.h"
#include "microwire93/Microwire93Driver.h"
#include "spi25/Spi25Driver.h"

std::shared_ptr<family::ChipDriver> MakeChipDriver(const chipdb::Chip& chip, bus::Adapter& adapter,
                                                   uint8_t slaveAddress, bool checkAcknowledge)
{
    switch (chip.family) {
    case chipdb::Family::Spi25:
        if (bus::SpiMaster* spi = adapter.spi()) return std::make_shared<spi25::Spi25Driver>(chip, *spi);
        break;
    case chipdb::Family::I2c24:
        if (bus::I2cMaster* i2c = adapter.i2c())
            return std::make_shared<i2c24::I2c24Driver>(chip, *i2c, slaveAddress, checkAcknowledge);
        break;
    case chipdb::Family::Microwire93:
        if (bus::PinBus* pins = adapter.pins()) return std::make_shared<microwire93::Microwire93Driver>(chip, *pins);
        break;
    case chipdb::Family::None: break;
    }
    return nullptr;
}
