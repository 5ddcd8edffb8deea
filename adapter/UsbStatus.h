#pragma once
// Outcome of an adapter transport call; the library keeps the last one so the app can tell
// "no adapter" from "adapter present but not accessible".

#include "text/TextPair.h"

enum class UsbStatus {
    Ok,
    NotFound,     // no 1a86:5512 on the bus
    AccessDenied, // present, but the device node is not writable (udev rule missing)
    Busy,         // another program or a kernel driver that cannot be detached holds it
    NotOpen,      // a transfer was asked for while the adapter is closed
    NoDevice,     // the adapter went away during a transfer
    Timeout,
    Overflow,   // the adapter answered with more bytes than asked for
    ShortReply, // the adapter answered with fewer bytes than a transfer needs
    InvalidArgument,
    Failed,
};

// Short description of a status, for the log.
TextPair DescribeUsbStatus(UsbStatus status);
