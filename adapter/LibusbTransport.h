#pragma once
// The real CH341A (1a86:5512) through libusb: claims interface 0 (detaching a kernel driver
// that holds it), moves bulk packets with several transfers in flight, and reports hot-plug
// arrival (3) and removal (0) from an event thread of its own. Requests go to libusb in the
// order of TransferSchedule, the same as the emulated adapter takes them.

#include "adapter/TransferSchedule.h"
#include "adapter/UsbTransport.h"

#include <atomic>
#include <deque>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

struct libusb_context;
struct libusb_device_handle;
struct libusb_transfer;

class LibusbTransport final : public UsbTransport {
public:
    LibusbTransport();
    ~LibusbTransport() override;
    LibusbTransport(const LibusbTransport&) = delete;
    LibusbTransport& operator=(const LibusbTransport&) = delete;

    UsbStatus open() override;
    void close() override;
    bool isOpen() const override { return handle_ != nullptr; }
    void setEventHandler(AdapterEventHandler handler) override;

    // Called from libusb's hot-plug callback.
    void reportEvent(int event);

    // Called from libusb's transfer callbacks.
    void transferDone(libusb_transfer* transfer);
    struct Flight;

protected:
    UsbStatus doSubmit(ExchangeTicket ticket, std::span<const std::span<const uint8_t>> out,
                       std::span<const uint8_t> inSizes, std::span<uint8_t> in) override;
    UsbStatus doCollect(ExchangeTicket ticket, std::size_t& received) override;

private:
    struct Pending;
    // Callers hold stateMutex_.
    void submitRequest(const TransferSchedule::Request& request);
    Pending* pendingOf(ExchangeTicket ticket);
    void failAll(UsbStatus why);
    void settle(Pending& pending);
    // Runs libusb events until `done` is set.
    void waitFor(int& done);

    void startEvents();
    void stopEvents();

    // The exchanges queued and not collected, the requests libusb holds, and their order.
    std::mutex stateMutex_;
    TransferSchedule schedule_;
    std::deque<std::unique_ptr<Pending>> pending_;
    std::list<Flight> flights_;

    libusb_context* context_ = nullptr;
    libusb_device_handle* handle_ = nullptr;
    bool reattachKernelDriver_ = false;
    int hotplugHandle_ = 0;
    bool hotplugRegistered_ = false;
    std::thread eventThread_;
    std::atomic<int> stopEvents_{0};
    std::mutex handlerMutex_;
    AdapterEventHandler handler_;
};
