#include "adapter/UsbHotplug.h"

#include <libusb.h>

UsbLocation LocationOf(libusb_device* device)
{
    UsbLocation location;
    location.bus = libusb_get_bus_number(device);
    uint8_t ports[8];
    const int depth = libusb_get_port_numbers(device, ports, sizeof ports);
    if (depth > 0) location.ports.assign(ports, ports + depth);
    return location;
}

namespace {

int LIBUSB_CALL hotplugEvent(libusb_context*, libusb_device* device, libusb_hotplug_event event, void* self)
{
    static_cast<UsbHotplug*>(self)->report(device, event == LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED);
    return 0; // stay registered
}

} // namespace

UsbHotplug::UsbHotplug(std::span<const UsbDeviceProfile> profiles)
{
    for (const UsbDeviceProfile& profile : profiles)
        for (const UsbModel& model : profile.models) models_.push_back(&model);
    if (libusb_init(&context_) != LIBUSB_SUCCESS) context_ = nullptr;
}

UsbHotplug::~UsbHotplug()
{
    stop();
    if (context_) libusb_exit(context_);
}

bool UsbHotplug::start(UsbDeviceEventHandler handler)
{
    {
        std::lock_guard lock(handlerMutex_);
        handler_ = std::move(handler);
    }
    if (running()) return true;
    if (!context_ || !libusb_has_capability(LIBUSB_CAP_HAS_HOTPLUG)) return false;
    for (const UsbModel* model : models_) {
        libusb_hotplug_callback_handle handle = 0;
        const int result = libusb_hotplug_register_callback(
            context_,
            static_cast<libusb_hotplug_event>(LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED | LIBUSB_HOTPLUG_EVENT_DEVICE_LEFT),
            LIBUSB_HOTPLUG_NO_FLAGS, model->vendorId, model->productId, LIBUSB_HOTPLUG_MATCH_ANY, hotplugEvent, this,
            &handle);
        if (result == LIBUSB_SUCCESS) handles_.push_back(handle);
    }
    if (handles_.empty()) return false;
    stopping_ = false;
    thread_ = std::thread([this] {
        while (!stopping_.load()) {
            timeval tick{0, 200000};
            libusb_handle_events_timeout_completed(context_, &tick, nullptr);
        }
    });
    return true;
}

void UsbHotplug::stop()
{
    if (!running()) return;
    stopping_ = true;
    // Deregistering also wakes the event thread.
    for (int handle : handles_) libusb_hotplug_deregister_callback(context_, handle);
    handles_.clear();
    if (thread_.joinable()) thread_.join();
}

void UsbHotplug::report(libusb_device* device, bool arrived)
{
    libusb_device_descriptor descriptor{};
    if (libusb_get_device_descriptor(device, &descriptor) != LIBUSB_SUCCESS) return;
    UsbDeviceEvent event;
    event.event = arrived ? AdapterEventArrived : AdapterEventRemoved;
    for (const UsbModel* model : models_)
        if (model->vendorId == descriptor.idVendor && model->productId == descriptor.idProduct) event.model = model;
    if (!event.model) return;
    event.location = LocationOf(device);
    std::lock_guard lock(handlerMutex_);
    if (handler_) handler_(event);
}

std::vector<UsbDeviceEvent> UsbHotplug::plugged() const
{
    std::vector<UsbDeviceEvent> found;
    libusb_device** list = nullptr;
    if (!context_) return found;
    const ssize_t count = libusb_get_device_list(context_, &list);
    for (ssize_t i = 0; i < count; ++i) {
        libusb_device_descriptor descriptor{};
        if (libusb_get_device_descriptor(list[i], &descriptor) != LIBUSB_SUCCESS) continue;
        for (const UsbModel* model : models_)
            if (model->vendorId == descriptor.idVendor && model->productId == descriptor.idProduct)
                found.push_back({AdapterEventArrived, model, LocationOf(list[i])});
    }
    if (count >= 0) libusb_free_device_list(list, 1);
    return found;
}
