#pragma once
// A real adapter through libusb, described by its profile (the CH341A's by default): opens the
// first plugged part of the profile (or the one at a chosen location), claims that part's
// interface (detaching a kernel driver that holds it), moves bulk packets with several transfers
// in flight, and reports hot-plug arrival (3) and removal (0) of the profile's parts from an
// event thread of its own. Requests go to libusb in the order of TransferSchedule, the same as the
// emulated adapters take them.

#include "adapter/TransferSchedule.h"
#include "adapter/UsbHotplug.h"
#include "adapter/UsbTransport.h"

#include <deque>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

struct libusb_context;
struct libusb_device_handle;
struct libusb_transfer;

class LibusbTransport final : public UsbTransport {
public:
    LibusbTransport();
    explicit LibusbTransport(const UsbDeviceProfile& profile);
    ~LibusbTransport() override;
    LibusbTransport(const LibusbTransport&) = delete;
    LibusbTransport& operator=(const LibusbTransport&) = delete;

    UsbStatus open() override;
    void close() override;
    bool isOpen() const override { return handle_ != nullptr; }
    void setEventHandler(AdapterEventHandler handler) override;
    const UsbModel* model() const override;

    // Where the adapter to open sits (UsbHotplug reports it); none: the first one found.
    void setLocation(std::optional<UsbLocation> location) { location_ = std::move(location); }

    // Called from libusb's transfer callbacks.
    void transferDone(libusb_transfer* transfer);
    struct Flight;

protected:
    UsbStatus doSubmit(ExchangeTicket ticket, std::span<const std::span<const uint8_t>> out,
                       std::span<const uint8_t> inSizes, std::span<uint8_t> in) override;
    UsbStatus doSubmitWide(ExchangeTicket ticket, std::span<const std::span<const uint8_t>> out,
                           std::span<const uint16_t> inSizes, std::span<uint8_t> in) override;
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

    // The exchanges queued and not collected, the requests libusb holds, and their order.
    std::mutex stateMutex_;
    TransferSchedule schedule_;
    std::deque<std::unique_ptr<Pending>> pending_;
    std::list<Flight> flights_;

    libusb_context* context_ = nullptr;
    libusb_device_handle* handle_ = nullptr;
    const UsbModel* opened_ = nullptr;
    std::optional<UsbLocation> location_;
    bool reattachKernelDriver_ = false;
    std::unique_ptr<UsbHotplug> hotplug_;
    std::vector<uint16_t> wideSizes_;
};
