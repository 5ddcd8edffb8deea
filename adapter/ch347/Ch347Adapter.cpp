#include "adapter/ch347/Ch347Adapter.h"

Ch347Adapter::Ch347Adapter(std::shared_ptr<UsbTransport> transport)
    : transport_(std::move(transport)), spi_(*transport_), i2c_(*transport_)
{
}

Ch347Adapter::~Ch347Adapter()
{
    transport_->setEventHandler({});
    transport_->close();
}

std::string Ch347Adapter::name() const
{
    const UsbModel* model = transport_->model();
    return model ? model->name : "CH347";
}

UsbStatus Ch347Adapter::open()
{
    status_ = transport_->open();
    if (status_ != UsbStatus::Ok) return status_;
    // A link opened anew may meet an engine another program configured.
    spi_.forget();
    if (!spi_.configure()) {
        status_ = spi_.lastStatus();
        transport_->close();
    }
    return status_;
}

void Ch347Adapter::close()
{
    transport_->close();
    spi_.forget();
}

bool Ch347Adapter::reset()
{
    const bool ok = spi_.configure();
    status_ = ok ? UsbStatus::Ok : spi_.lastStatus();
    return ok;
}
