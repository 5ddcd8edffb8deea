#include "adapter/LibusbTransport.h"

#include "adapter/ch341a/Ch341Protocol.h"

#include <libusb.h>

#include <algorithm>
#include <vector>

namespace {

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

void LIBUSB_CALL transferCallback(libusb_transfer* transfer);

} // namespace

// One queued exchange: its OUT bytes (copied, libusb reads them later), a packet-sized slot for
// each reply packet, and what is still outstanding. `done` is the flag libusb's completed-wait
// watches.
struct LibusbTransport::Pending {
    ExchangeTicket ticket = 0;
    std::vector<std::vector<uint8_t>> out;
    std::vector<uint16_t> inSizes;
    std::vector<uint8_t> staging;
    std::vector<int> lengths;
    std::span<uint8_t> in;
    std::size_t requestsLeft = 0; // requests not yet completed successfully
    std::size_t inFlight = 0;     // requests libusb holds
    UsbStatus status = UsbStatus::Ok;
    int done = 0;
};

// One request handed to libusb.
struct LibusbTransport::Flight {
    LibusbTransport* self;
    TransferSchedule::Request request;
    libusb_transfer* transfer = nullptr;
};

namespace {

void LIBUSB_CALL transferCallback(libusb_transfer* transfer)
{
    auto* flight = static_cast<LibusbTransport::Flight*>(transfer->user_data);
    flight->self->transferDone(transfer);
}

} // namespace

LibusbTransport::Pending* LibusbTransport::pendingOf(ExchangeTicket ticket)
{
    for (auto& pending : pending_)
        if (pending->ticket == ticket) return pending.get();
    return nullptr;
}

void LibusbTransport::settle(Pending& pending)
{
    if (pending.inFlight == 0 && (pending.status != UsbStatus::Ok || pending.requestsLeft == 0)) pending.done = 1;
}

void LibusbTransport::failAll(UsbStatus why)
{
    // The adapter's queues are out of step with ours now: give up on everything queued.
    schedule_.clear();
    for (auto& pending : pending_) {
        if (pending->done || pending->status != UsbStatus::Ok) continue;
        if (pending->requestsLeft == 0 && pending->inFlight == 0) continue;
        pending->status = why;
        settle(*pending);
    }
    for (Flight& flight : flights_) libusb_cancel_transfer(flight.transfer);
}

void LibusbTransport::submitRequest(const TransferSchedule::Request& request)
{
    Pending* pending = pendingOf(request.exchange);
    if (pending && pending->status != UsbStatus::Ok) return; // given up on: nothing more of it goes out
    libusb_transfer* transfer = pending ? libusb_alloc_transfer(0) : nullptr;
    if (!transfer) return failAll(UsbStatus::Failed);
    Flight& flight = flights_.emplace_back(Flight{this, request, transfer});
    if (request.kind == TransferSchedule::Request::Kind::In) {
        libusb_fill_bulk_transfer(
            transfer, handle_, profile().endpointIn, pending->staging.data() + request.index * profile().packetSize,
            pending->inSizes[request.index], transferCallback, &flight, static_cast<unsigned>(HostInTimeout.count()));
    } else {
        // libusb does not write to an OUT buffer.
        uint8_t* bytes = pending->out[request.index].data() + request.offset;
        libusb_fill_bulk_transfer(transfer, handle_, profile().endpointOut, bytes, static_cast<int>(request.length),
                                  transferCallback, &flight, static_cast<unsigned>(HostOutTimeout.count()));
    }
    if (libusb_submit_transfer(transfer) != LIBUSB_SUCCESS) {
        libusb_free_transfer(transfer);
        flights_.pop_back();
        return failAll(UsbStatus::Failed);
    }
    ++pending->inFlight;
}

void LibusbTransport::transferDone(libusb_transfer* transfer)
{
    std::lock_guard lock(stateMutex_);
    auto* flight = static_cast<Flight*>(transfer->user_data);
    const TransferSchedule::Request request = flight->request;
    flights_.remove_if([flight](const Flight& f) { return &f == flight; });
    Pending* pending = pendingOf(request.exchange);
    const bool in = request.kind == TransferSchedule::Request::Kind::In;
    const bool whole =
        transfer->status == LIBUSB_TRANSFER_COMPLETED && (in || transfer->actual_length == transfer->length);
    const int length = transfer->actual_length;
    const UsbStatus why =
        transfer->status == LIBUSB_TRANSFER_COMPLETED ? UsbStatus::Failed : statusOf(transfer->status);
    const bool cancelled = transfer->status == LIBUSB_TRANSFER_CANCELLED;
    libusb_free_transfer(transfer);
    if (!pending) return;
    --pending->inFlight;
    if (whole && pending->status == UsbStatus::Ok) {
        --pending->requestsLeft;
        if (in) {
            pending->lengths[request.index] = length;
            if (auto next = schedule_.inFinished()) submitRequest(*next);
        }
    } else if (!whole && !cancelled) {
        failAll(why);
    }
    settle(*pending);
}

UsbStatus LibusbTransport::doSubmit(ExchangeTicket ticket, std::span<const std::span<const uint8_t>> out,
                                    std::span<const uint8_t> inSizes, std::span<uint8_t> in)
{
    wideSizes_.assign(inSizes.begin(), inSizes.end());
    return doSubmitWide(ticket, out, wideSizes_, in);
}

UsbStatus LibusbTransport::doSubmitWide(ExchangeTicket ticket, std::span<const std::span<const uint8_t>> out,
                                        std::span<const uint16_t> inSizes, std::span<uint8_t> in)
{
    if (!handle_) return UsbStatus::NotOpen;
    std::lock_guard lock(stateMutex_);
    auto pending = std::make_unique<Pending>();
    pending->ticket = ticket;
    for (std::span<const uint8_t> transfer : out) pending->out.emplace_back(transfer.begin(), transfer.end());
    pending->inSizes.assign(inSizes.begin(), inSizes.end());
    pending->staging.resize(inSizes.size() * profile().packetSize);
    pending->lengths.assign(inSizes.size(), 0);
    pending->in = in;
    std::vector<TransferSchedule::Request> requests;
    schedule_.add(ticket, out, inSizes.size(), requests);
    pending->requestsLeft = inSizes.size();
    for (const auto& request : requests)
        if (request.kind == TransferSchedule::Request::Kind::Out) ++pending->requestsLeft;
    Pending& queued = *pending_.emplace_back(std::move(pending));
    for (const auto& request : requests) submitRequest(request);
    settle(queued);
    return UsbStatus::Ok;
}

void LibusbTransport::waitFor(int& done)
{
    while (!done) {
        timeval tick{0, 100000};
        const int result = libusb_handle_events_timeout_completed(context_, &tick, &done);
        if (result != LIBUSB_SUCCESS && result != LIBUSB_ERROR_INTERRUPTED) {
            {
                std::lock_guard lock(stateMutex_);
                failAll(statusOf(result));
            }
            // Transfers still owned by libusb must call back before their memory goes away.
            for (;;) {
                {
                    std::lock_guard lock(stateMutex_);
                    if (flights_.empty()) return;
                }
                libusb_handle_events_timeout_completed(context_, &tick, nullptr);
            }
        }
    }
}

UsbStatus LibusbTransport::doCollect(ExchangeTicket ticket, std::size_t& received)
{
    Pending* pending = nullptr;
    {
        std::lock_guard lock(stateMutex_);
        pending = pendingOf(ticket);
    }
    if (!pending) return UsbStatus::InvalidArgument;
    waitFor(pending->done);

    std::lock_guard lock(stateMutex_);
    const UsbStatus status = pending->done ? pending->status : UsbStatus::Failed;
    if (status == UsbStatus::Ok) {
        for (std::size_t i = 0; i < pending->inSizes.size(); ++i) {
            const auto length = static_cast<std::size_t>(pending->lengths[i]);
            std::copy_n(pending->staging.begin() + static_cast<std::ptrdiff_t>(i * profile().packetSize), length,
                        pending->in.begin() + static_cast<std::ptrdiff_t>(received));
            received += length;
        }
    }
    if (pending->inFlight == 0) std::erase_if(pending_, [pending](const auto& p) { return p.get() == pending; });
    return status;
}

LibusbTransport::LibusbTransport() : LibusbTransport(ch341::Profile) {}

LibusbTransport::LibusbTransport(const UsbDeviceProfile& profile) : UsbTransport(profile)
{
    if (libusb_init(&context_) != LIBUSB_SUCCESS) context_ = nullptr;
}

LibusbTransport::~LibusbTransport()
{
    hotplug_.reset();
    close();
    if (context_) libusb_exit(context_);
}

const UsbModel* LibusbTransport::model() const
{
    return opened_ ? opened_ : UsbTransport::model();
}

UsbStatus LibusbTransport::open()
{
    if (!context_) return UsbStatus::Failed;
    if (handle_) return UsbStatus::Ok;

    libusb_device** list = nullptr;
    const ssize_t count = libusb_get_device_list(context_, &list);
    if (count < 0) return statusOf(static_cast<int>(count));
    libusb_device* found = nullptr;
    const UsbModel* model = nullptr;
    for (ssize_t i = 0; i < count && !found; ++i) {
        libusb_device_descriptor descriptor{};
        if (libusb_get_device_descriptor(list[i], &descriptor) != LIBUSB_SUCCESS) continue;
        model = profile().find(descriptor.idVendor, descriptor.idProduct);
        if (model && (!location_ || LocationOf(list[i]) == *location_)) found = list[i];
    }
    UsbStatus status = UsbStatus::NotFound;
    libusb_device_handle* handle = nullptr;
    if (found) status = statusOf(libusb_open(found, &handle));
    libusb_free_device_list(list, 1);
    if (status != UsbStatus::Ok) return status;

    const int interface = model->interfaceNumber;
    reattachKernelDriver_ = false;
    if (libusb_kernel_driver_active(handle, interface) == 1) {
        const int result = libusb_detach_kernel_driver(handle, interface);
        if (result != LIBUSB_SUCCESS) {
            libusb_close(handle);
            return result == LIBUSB_ERROR_ACCESS ? UsbStatus::AccessDenied : UsbStatus::Busy;
        }
        reattachKernelDriver_ = true;
    }
    const int claimed = libusb_claim_interface(handle, interface);
    if (claimed != LIBUSB_SUCCESS) {
        if (reattachKernelDriver_) libusb_attach_kernel_driver(handle, interface);
        libusb_close(handle);
        return statusOf(claimed);
    }
    handle_ = handle;
    opened_ = model;
    return UsbStatus::Ok;
}

void LibusbTransport::close()
{
    if (!handle_) return;
    {
        std::lock_guard lock(stateMutex_);
        failAll(UsbStatus::NotOpen);
    }
    int drained = 0;
    while (!drained) {
        {
            std::lock_guard lock(stateMutex_);
            drained = flights_.empty();
            if (drained) pending_.clear();
        }
        timeval tick{0, 100000};
        if (!drained) libusb_handle_events_timeout_completed(context_, &tick, nullptr);
    }
    libusb_release_interface(handle_, opened_->interfaceNumber);
    if (reattachKernelDriver_) libusb_attach_kernel_driver(handle_, opened_->interfaceNumber);
    libusb_close(handle_);
    handle_ = nullptr;
    opened_ = nullptr;
}

void LibusbTransport::setEventHandler(AdapterEventHandler handler)
{
    if (!handler) {
        if (hotplug_) hotplug_->start({});
        return;
    }
    if (!hotplug_) hotplug_ = std::make_unique<UsbHotplug>(std::span(&profile(), 1));
    hotplug_->start([handler = std::move(handler)](const UsbDeviceEvent& event) { handler(event.event); });
}
