#pragma once
// The real CH341A (1a86:5512) through libusb: claims interface 0 (detaching a kernel driver
// that holds it), moves bulk packets with several transfers in flight, and reports hot-plug
// arrival (3) and removal (0) from an event thread of its own.

#include "adapter/UsbTransport.h"

#include <atomic>
#include <mutex>
#include <thread>

struct libusb_context;
struct libusb_device_handle;

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

    static constexpr unsigned OutTimeoutMs = 1000;
    static constexpr unsigned InTimeoutMs = 2000;
    static constexpr std::size_t MaxInFlight = 32;
    static constexpr std::size_t MaxOutTransfer = 4096;

protected:
    UsbStatus doExchange(std::span<const std::span<const uint8_t>> out, std::span<const uint8_t> inSizes,
                         std::span<uint8_t> in, std::size_t& received) override;

private:
    void startEvents();
    void stopEvents();

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
