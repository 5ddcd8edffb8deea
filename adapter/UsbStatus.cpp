#include "adapter/UsbStatus.h"

TextPair DescribeUsbStatus(UsbStatus status)
{
    switch (status) {
    case UsbStatus::Ok: return {"OK", "OK"};
    case UsbStatus::NotFound: return {"CH341 adapter not found", "Адаптер CH341 не найден"};
    case UsbStatus::AccessDenied:
        return {"CH341 adapter found, but access to it is denied: install the udev rule "
                "packaging/udev/50-vespera-ch341a.rules (see README) and plug the adapter in again",
                "Адаптер CH341 найден, но доступ к нему запрещён: установите правило udev "
                "packaging/udev/50-vespera-ch341a.rules (см. README) и переподключите адаптер"};
    case UsbStatus::Busy:
        return {"CH341 adapter is in use by another program or driver",
                "Адаптер CH341 занят другой программой или драйвером"};
    case UsbStatus::NotOpen: return {"CH341 adapter is not open", "Адаптер CH341 не открыт"};
    case UsbStatus::NoDevice: return {"CH341 adapter was disconnected", "Адаптер CH341 отключён"};
    case UsbStatus::Timeout: return {"CH341 adapter did not answer in time", "Адаптер CH341 не ответил вовремя"};
    case UsbStatus::Overflow: return {"CH341 adapter sent too many bytes", "Адаптер CH341 передал лишние байты"};
    case UsbStatus::ShortReply: return {"CH341 adapter sent too few bytes", "Адаптер CH341 передал не все байты"};
    case UsbStatus::InvalidArgument: return {"invalid adapter request", "неверный запрос к адаптеру"};
    case UsbStatus::Failed: break;
    }
    return {"CH341 adapter transfer failed", "Ошибка обмена с адаптером CH341"};
}
