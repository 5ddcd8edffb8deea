#pragma once
// 24xx chips: the stream read and write through a worker (ACK checking on) and the fast paths on
// the session's own thread (ACK checking off).
#include "adapter/ch341a/Ch341Library.h"
#include "worker/WorkerContext.h"
#include "worker/WorkerParams.h"

#include <QString>

#include <optional>

class Session;

class I2cOperations {
public:
    explicit I2cOperations(Session& session) : session_(session) {}

    void IICReadChip(); // read or compare, by the runner's compare mode
    void IICWriteChip();

    // After a read: names the case of an upper half that repeats the lower one.
    void ReportMirroredHalves();

private:
    void IICFastReadChip();
    void IICFastWriteChip();
    // Whether the chip in the socket can be the selected type; false (after a red line) when it
    // cannot.
    bool ChipFitsTheType();
    // Starts `worker` with `params`; without params (a chip larger than the buffer) logs `refusal`.
    using Worker = void (*)(Ch341Library&, const WorkerParams&, WorkerContext&);
    void StartStreamWorker(std::optional<WorkerParams> params, Worker worker, const QString& refusal);

    Session& session_;
};
