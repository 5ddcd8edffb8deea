#include "adapter/ch341a/Ch341Adapter.h"

Ch341Adapter::Ch341Adapter(std::shared_ptr<UsbTransport> transport)
    : device_(std::make_shared<Ch341Device>(std::move(transport))), spi_(*device_), i2c_(*device_), pins_(*device_)
{
}

UsbStatus Ch341Adapter::open()
{
    return device_->CH341OpenDevice(AdapterIndex) == InvalidAdapterHandle ? device_->lastStatus() : UsbStatus::Ok;
}

void Ch341Adapter::close()
{
    device_->CH341CloseDevice(AdapterIndex);
}

bool Ch341Adapter::isOpen() const
{
    return device_->transport().isOpen();
}

bool Ch341Adapter::reset()
{
    return device_->CH341ResetDevice(AdapterIndex);
}

void Ch341Adapter::setEventHandler(AdapterEventHandler handler)
{
    device_->CH341SetDeviceNotify(AdapterIndex, nullptr, std::move(handler));
}
