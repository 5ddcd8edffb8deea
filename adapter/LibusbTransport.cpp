#include "adapter/LibusbTransport.h"

#include "adapter/Ch341Protocol.h"

#include <libusb.h>

#include <algorithm>
#include <vector>

using namespace ch341;

namespace {

constexpr int Interface = 0;

UsbStatus statusOf(int libusbError)
{
    switch (libusbError) {
    case LIBUSB_SUCCESS: return UsbStatus::Ok;
    case LIBUSB_ERROR_ACCESS: return UsbStatus::AccessDenied;
    case LIBUSB_ERROR_BUSY: return UsbStatus::Busy;
    case LIBUSB_ERROR_NO_DEVICE: return UsbStatus::NoDevice;
    case LIBUSB_ERROR_NOT_FOUND: return UsbStatus::NotFound;
    case LIBUSB_ERROR_TIMEOUT: return UsbStatus::Timeout;
    case LIBUSB_ERROR_OVERFLOW: return UsbStatus::Overflow;
    default: return UsbStatus::Failed;
    }
}

UsbStatus statusOf(libusb_transfer_status status)
{
    switch (status) {
    case LIBUSB_TRANSFER_COMPLETED: return UsbStatus::Ok;
    case LIBUSB_TRANSFER_TIMED_OUT: return UsbStatus::Timeout;
    case LIBUSB_TRANSFER_NO_DEVICE: return UsbStatus::NoDevice;
    case LIBUSB_TRANSFER_OVERFLOW: return UsbStatus::Overflow;
    default: return UsbStatus::Failed;
    }
}

// The transfers of one exchange. Callbacks run inside libusb_handle_events on whichever thread
// handles events; `done` is the flag libusb's completed-wait watches.
struct Batch {
    std::span<const uint8_t> inSizes;
    std::vector<uint8_t> staging;       // one 32-byte slot per IN packet
    std::vector<int> lengths;           // actual length of each IN packet
    std::size_t nextIn = 0;             // next IN packet to ask for
    int pending = 0;                    // transfers submitted and not yet called back
    UsbStatus status = UsbStatus::Ok;
    int done = 0;
    std::vector<libusb_transfer*> inFlight;

    void fail(UsbStatus why)
    {
        if (status == UsbStatus::Ok) status = why;
        for (libusb_transfer* t : inFlight) libusb_cancel_transfer(t);
    }
    void calledBack(libusb_transfer* transfer)
    {
        std::erase(inFlight, transfer);
        --pending;
    }
    void settle()
    {
        if (pending == 0) done = 1;
    }
};

bool submitIn(Batch& batch, libusb_transfer* transfer)
{
    const std::size_t index = batch.nextIn++;
    transfer->buffer = batch.staging.data() + index * PacketSize;
    transfer->length = batch.inSizes[index];
    transfer->user_data = &batch;
    if (libusb_submit_transfer(transfer) != LIBUSB_SUCCESS) return false;
    ++batch.pending;
    batch.inFlight.push_back(transfer);
    return true;
}

void LIBUSB_CALL inDone(libusb_transfer* transfer)
{
    auto& batch = *static_cast<Batch*>(transfer->user_data);
    // The buffer pointer tells which packet slot this was.
    const std::size_t index = static_cast<std::size_t>(transfer->buffer - batch.staging.data()) / PacketSize;
    batch.calledBack(transfer);
    if (transfer->status != LIBUSB_TRANSFER_COMPLETED) {
        batch.fail(statusOf(transfer->status));
    } else {
        batch.lengths[index] = transfer->actual_length;
        if (batch.status == UsbStatus::Ok && batch.nextIn < batch.inSizes.size() && !submitIn(batch, transfer))
            batch.fail(UsbStatus::Failed);
    }
    batch.settle();
}

void LIBUSB_CALL outDone(libusb_transfer* transfer)
{
    auto& batch = *static_cast<Batch*>(transfer->user_data);
    batch.calledBack(transfer);
    if (transfer->status != LIBUSB_TRANSFER_COMPLETED || transfer->actual_length != transfer->length)
        batch.fail(transfer->status == LIBUSB_TRANSFER_COMPLETED ? UsbStatus::Failed : statusOf(transfer->status));
    batch.settle();
}

int LIBUSB_CALL hotplugEvent(libusb_context*, libusb_device*, libusb_hotplug_event event, void* self)
{
    static_cast<LibusbTransport*>(self)->reportEvent(
        event == LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED ? AdapterEventArrived : AdapterEventRemoved);
    return 0;  // stay registered
}

} // namespace

LibusbTransport::LibusbTransport()
{
    if (libusb_init(&context_) != LIBUSB_SUCCESS) context_ = nullptr;
}

LibusbTransport::~LibusbTransport()
{
    stopEvents();
    close();
    if (context_) libusb_exit(context_);
}

UsbStatus LibusbTransport::open()
{
    if (!context_) return UsbStatus::Failed;
    if (handle_) return UsbStatus::Ok;

    libusb_device** list = nullptr;
    const ssize_t count = libusb_get_device_list(context_, &list);
    if (count < 0) return statusOf(static_cast<int>(count));
    libusb_device* found = nullptr;
    for (ssize_t i = 0; i < count && !found; ++i) {
        libusb_device_descriptor descriptor{};
        if (libusb_get_device_descriptor(list[i], &descriptor) == LIBUSB_SUCCESS &&
            descriptor.idVendor == VendorId && descriptor.idProduct == ProductId)
            found = list[i];
    }
    UsbStatus status = UsbStatus::NotFound;
    libusb_device_handle* handle = nullptr;
    if (found) status = statusOf(libusb_open(found, &handle));
    libusb_free_device_list(list, 1);
    if (status != UsbStatus::Ok) return status;

    reattachKernelDriver_ = false;
    if (libusb_kernel_driver_active(handle, Interface) == 1) {
        const int result = libusb_detach_kernel_driver(handle, Interface);
        if (result != LIBUSB_SUCCESS) {
            libusb_close(handle);
            return result == LIBUSB_ERROR_ACCESS ? UsbStatus::AccessDenied : UsbStatus::Busy;
        }
        reattachKernelDriver_ = true;
    }
    const int claimed = libusb_claim_interface(handle, Interface);
    if (claimed != LIBUSB_SUCCESS) {
        if (reattachKernelDriver_) libusb_attach_kernel_driver(handle, Interface);
        libusb_close(handle);
        return statusOf(claimed);
    }
    handle_ = handle;
    return UsbStatus::Ok;
}

void LibusbTransport::close()
{
    if (!handle_) return;
    libusb_release_interface(handle_, Interface);
    if (reattachKernelDriver_) libusb_attach_kernel_driver(handle_, Interface);
    libusb_close(handle_);
    handle_ = nullptr;
}

UsbStatus LibusbTransport::doExchange(std::span<const std::span<const uint8_t>> out,
                                      std::span<const uint8_t> inSizes, std::span<uint8_t> in,
                                      std::size_t& received)
{
    if (!handle_) return UsbStatus::NotOpen;
    Batch batch;
    batch.inSizes = inSizes;
    batch.staging.resize(inSizes.size() * PacketSize);
    batch.lengths.assign(inSizes.size(), 0);

    std::vector<libusb_transfer*> transfers;
    auto allocate = [&] {
        libusb_transfer* t = libusb_alloc_transfer(0);
        if (t) transfers.push_back(t);
        return t;
    };
    // Replies are asked for first, so the adapter never waits on a full reply queue.
    const std::size_t inFlight = std::min(MaxInFlight, inSizes.size());
    for (std::size_t i = 0; i < inFlight && batch.status == UsbStatus::Ok; ++i) {
        libusb_transfer* t = allocate();
        if (!t) {
            batch.fail(UsbStatus::Failed);
            break;
        }
        libusb_fill_bulk_transfer(t, handle_, EndpointIn, nullptr, 0, inDone, &batch, InTimeoutMs);
        if (!submitIn(batch, t)) batch.fail(UsbStatus::Failed);
    }
    for (std::span<const uint8_t> transfer : out) {
        for (std::size_t pos = 0; pos < transfer.size() && batch.status == UsbStatus::Ok; pos += MaxOutTransfer) {
            const std::size_t n = std::min(MaxOutTransfer, transfer.size() - pos);
            libusb_transfer* t = allocate();
            if (!t) {
                batch.fail(UsbStatus::Failed);
                break;
            }
            // libusb does not write to an OUT buffer.
            libusb_fill_bulk_transfer(t, handle_, EndpointOut, const_cast<uint8_t*>(transfer.data() + pos),
                                      static_cast<int>(n), outDone, &batch, OutTimeoutMs);
            if (libusb_submit_transfer(t) != LIBUSB_SUCCESS) {
                batch.fail(UsbStatus::Failed);
                break;
            }
            ++batch.pending;
            batch.inFlight.push_back(t);
        }
    }
    if (batch.pending == 0) batch.done = 1;
    while (!batch.done) {
        timeval tick{0, 100000};
        const int result = libusb_handle_events_timeout_completed(context_, &tick, &batch.done);
        if (result != LIBUSB_SUCCESS && result != LIBUSB_ERROR_INTERRUPTED) {
            batch.fail(statusOf(result));
            // Transfers still owned by libusb must call back before their memory goes away.
            while (batch.pending > 0) libusb_handle_events_timeout_completed(context_, &tick, &batch.done);
            break;
        }
    }
    for (libusb_transfer* t : transfers) libusb_free_transfer(t);

    if (batch.status != UsbStatus::Ok) return batch.status;
    for (std::size_t i = 0; i < inSizes.size(); ++i) {
        const auto length = static_cast<std::size_t>(batch.lengths[i]);
        std::copy_n(batch.staging.begin() + static_cast<std::ptrdiff_t>(i * PacketSize), length,
                    in.begin() + static_cast<std::ptrdiff_t>(received));
        received += length;
    }
    return UsbStatus::Ok;
}

void LibusbTransport::reportEvent(int event)
{
    std::lock_guard lock(handlerMutex_);
    if (handler_) handler_(event);
}

void LibusbTransport::setEventHandler(AdapterEventHandler handler)
{
    const bool wanted = static_cast<bool>(handler);
    {
        std::lock_guard lock(handlerMutex_);
        handler_ = std::move(handler);
    }
    if (wanted) startEvents();
}

void LibusbTransport::startEvents()
{
    if (hotplugRegistered_ || !context_ || !libusb_has_capability(LIBUSB_CAP_HAS_HOTPLUG)) return;
    libusb_hotplug_callback_handle handle = 0;
    const int result = libusb_hotplug_register_callback(
        context_,
        static_cast<libusb_hotplug_event>(LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED | LIBUSB_HOTPLUG_EVENT_DEVICE_LEFT),
        LIBUSB_HOTPLUG_NO_FLAGS, VendorId, ProductId, LIBUSB_HOTPLUG_MATCH_ANY, hotplugEvent, this, &handle);
    if (result != LIBUSB_SUCCESS) return;
    hotplugHandle_ = handle;
    hotplugRegistered_ = true;
    stopEvents_ = 0;
    eventThread_ = std::thread([this] {
        int stop = 0;
        while (!stopEvents_.load()) {
            timeval tick{0, 200000};
            libusb_handle_events_timeout_completed(context_, &tick, &stop);
        }
    });
}

void LibusbTransport::stopEvents()
{
    if (!hotplugRegistered_) return;
    stopEvents_ = 1;
    libusb_hotplug_deregister_callback(context_, hotplugHandle_);  // also wakes the event thread
    if (eventThread_.joinable()) eventThread_.join();
    hotplugRegistered_ = false;
}
