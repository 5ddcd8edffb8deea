#pragma once
// Runs the one chip worker of a session: starts it on its own thread, turns its posted messages
// into progress and completion on the session's thread, and cancels it. Keeps the progress bar's
// position and the modes of the read worker (a compare or a blank check reads the chip too).
#include "worker/StartWorker.h"

#include <QObject>
#include <functional>
#include <memory>

class QtMessageSink;

class OperationRunner : public QObject {
    Q_OBJECT
public:
    // Where the completion of a worker goes: a negative code of WM_OP_PROGRESS with its elapsed
    // seconds, or a fault at a byte address (-1: an erase fault).
    struct Client {
        std::function<void(int32_t code, float seconds)> finished;
        std::function<void(int32_t address)> fault;
        std::function<void(int position, int maximum)> progressChanged;
    };

    explicit OperationRunner(Client client);
    ~OperationRunner() override;

    // The read worker serves the Read, Compare and Blank check commands: these say which.
    bool CompareMode = false, BlankCheckMode = false;

    // What the running worker does for its command: a plain operation, or the check that makes
    // a write or an erase true of the chip.
    enum class Work {
        Plain,          // read, compare, blank check, write or erase as the command says
        Verify,         // the read-back after a write, compared with what was written
        EraseCheck,     // the blank check after an erase
        EraseByWriting, // FF pages written into a chip that has no chip erase
        SmartWrite,     // a write of what differs, with its own read-back
    };
    Work work = Work::Plain;
    float writeSeconds = 0; // the write's own time, while its verify runs

    // Starts the worker; false (with nothing started) when no thread could be created.
    bool StartOperation(WorkerBody body, std::shared_ptr<WorkerParams> params);
    // Between a worker's start and its final message.
    bool workerRunning() const { return running_; }
    void workerEnded() { running_ = false; }
    // Whether the worker of `kind` (and of the command's modes) writes the chip.
    bool writing(Work kind) const { return kind == Work::EraseByWriting || writeCommand; }
    bool writeCommand = false; // the command's worker writes (Write), as opposed to reading
    // Posts the cancel request to the last worker; without one, or after its end, nothing happens.
    void cancel();
    // Cancels whatever worker runs and handles events until it has ended, a worker that its
    // predecessor's end started included: nothing may go away that a worker still reports to.
    void cancelAndWait();

    void setProgressMaximum(int maximum);
    void setProgressPosition(int position);
    int progressPosition() const { return position_; }
    int progressMaximum() const { return maximum_; }
    // A progress code: 0 resets the bar, 1 steps it, 2 steps it and paces the erase worker.
    void SetPBarPos(int code);

    // The worker's messages, as they arrive (public for tests that play a worker).
    void WMOpProgress(uint32_t wParam, int32_t lParam);
    void WMOpFault(int32_t lParam);

protected:
    bool event(QEvent* event) override;

private:
    Client client_;
    std::shared_ptr<QtMessageSink> sink_;
    std::shared_ptr<WorkerQueue> lastWorker_;
    int position_ = 0, maximum_ = 0;
    bool pumping_ = false; // handling events for a progress step
    bool running_ = false;
};
