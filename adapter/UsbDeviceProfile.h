#pragma once
// What a transport needs to know of one kind of adapter: the ids its parts answer to (each with
// the interface that carries the bulk endpoints, which differs between parts of one family), the
// endpoints, the bulk packet size and the longest OUT transfer the adapter takes whole.

#include <cstddef>
#include <cstdint>
#include <span>

struct UsbModel {
    uint16_t vendorId;
    uint16_t productId;
    uint8_t interfaceNumber;
    const char* name; // "CH341A", "CH347T", ...
};

struct UsbDeviceProfile {
    std::span<const UsbModel> models;
    uint8_t endpointOut;
    uint8_t endpointIn;
    // wMaxPacketSize of the bulk endpoints: 32 on a full-speed CH341A, 512 on a high-speed CH347.
    std::size_t packetSize;
    // The longest OUT transfer the adapter reads correctly; a transport refuses longer ones.
    // 0: any length.
    std::size_t largestOutTransfer;

    const UsbModel* find(uint16_t vendorId, uint16_t productId) const
    {
        for (const UsbModel& model : models)
            if (model.vendorId == vendorId && model.productId == productId) return &model;
        return nullptr;
    }
};
