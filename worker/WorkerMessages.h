#pragma once
// What a chip worker and the main window say to each other. Codes and numbers are fixed: they are
// the whole contract between the two threads.
#include <cstdint>

constexpr uint32_t WM_OP_PROGRESS = 1025; // worker → window: step, completion or cancellation
constexpr uint32_t WM_OP_FAULT = 1026;    // worker → window: failed at the byte address in lParam
constexpr uint32_t WM_OP_CANCEL = 1029;   // window → worker's own queue: stop as soon as possible

// lParam of WM_OP_PROGRESS.
enum ProgressCode : int32_t {
    ProgressReset = 0,
    ProgressStep = 1,
    ProgressEraseTick = 2, // sent and waited for
    ReadFinished = -1,     // wParam: elapsed seconds as float bits
    WriteFinished = -2,    // wParam: elapsed seconds as float bits
    ReadCancelled = -3,
    WriteCancelled = -4,
    EraseFinished = -5,
    EraseCancelled = -6,
};

struct OpMessage {
    uint32_t message = 0;
    uint32_t wParam = 0;
    int32_t lParam = 0;
};
