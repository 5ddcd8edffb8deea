#pragma once
// Hot-plug reports for adapters of several kinds at once (the CH341A, the CH347T, the CH347F):
// each arrival and departure names the part and where it sits, so a program can tell two plugged
// adapters apart and open the one it wants. libusb calls back on an event thread of this object's
// own (see ch341-usb-protocol.md, hot-plug): a handler must not block or do synchronous USB I/O.

#include "adapter/UsbDeviceProfile.h"
#include "adapter/UsbTransport.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

struct libusb_context;
struct libusb_device;

// Where a device sits: its bus and the ports from the root hub down.
struct UsbLocation {
    uint8_t bus = 0;
    std::vector<uint8_t> ports;
    bool operator==(const UsbLocation&) const = default;
};
// The location of a device libusb lists.
UsbLocation LocationOf(libusb_device* device);

struct UsbDeviceEvent {
    int event = AdapterEventArrived; // AdapterEventArrived or AdapterEventRemoved
    const UsbModel* model = nullptr; // points into the profiles' model tables
    UsbLocation location;
};
using UsbDeviceEventHandler = std::function<void(const UsbDeviceEvent&)>;

class UsbHotplug {
public:
    explicit UsbHotplug(std::span<const UsbDeviceProfile> profiles);
    ~UsbHotplug();
    UsbHotplug(const UsbHotplug&) = delete;
    UsbHotplug& operator=(const UsbHotplug&) = delete;

    // Reports arrivals and departures to `handler` until stop(); false when this system's libusb
    // has no hot-plug support.
    bool start(UsbDeviceEventHandler handler);
    void stop();
    bool running() const { return !handles_.empty(); }

    // The adapters of these kinds plugged now, as arrivals.
    std::vector<UsbDeviceEvent> plugged() const;

    // Called from libusb's hot-plug callback.
    void report(libusb_device* device, bool arrived);

private:
    libusb_context* context_ = nullptr;
    std::vector<const UsbModel*> models_;
    std::vector<int> handles_;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    std::mutex handlerMutex_;
    UsbDeviceEventHandler handler_;
};
