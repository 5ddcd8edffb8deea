#pragma once
// One plugged adapter as the core sees it: its name, its life (open, close, hot-plug) and the
// buses it offers. A bus the adapter does not have is null.

#include "adapter/UsbStatus.h"
#include "adapter/UsbTransport.h"
#include "adapter/bus/I2cMaster.h"
#include "adapter/bus/PinBus.h"
#include "adapter/bus/SpiMaster.h"

#include <string>

namespace bus {

class Adapter {
public:
    virtual ~Adapter() = default;

    // "CH341A", "CH347T", ...: what the log and the status bar call it.
    virtual std::string name() const = 0;

    virtual UsbStatus open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Pins and engines back to their idle state.
    virtual bool reset() = 0;
    // Hot-plug reports (AdapterEventArrived, ...), on any thread; an empty handler stops them.
    virtual void setEventHandler(AdapterEventHandler handler) = 0;

    virtual SpiMaster* spi() = 0;
    virtual I2cMaster* i2c() = 0;
    virtual PinBus* pins() = 0;

    // Why the last operation failed; UsbStatus::Ok after a success.
    virtual UsbStatus lastStatus() const = 0;
};

} // namespace bus
