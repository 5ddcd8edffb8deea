#pragma once
// The one place that knows every chip family: the driver for a chip, on the buses of an adapter.
// A new family adds its line here.
#include "adapter/bus/Adapter.h"
#include "family/ChipDriver.h"

#include <memory>

// Null when the chip's family has no driver or the adapter lacks the bus it needs.
// `slaveAddress` and `checkAcknowledge` are the 24xx family's settings.
std::shared_ptr<family::ChipDriver> MakeChipDriver(const chipdb::Chip& chip, bus::Adapter& adapter,
                                                   uint8_t slaveAddress, bool checkAcknowledge);
