#pragma once
// Runs jobs: on a worker thread of its own (reads, writes, erases: the window stays responsive),
// or on the calling thread for the short ones (status registers, identification). Whatever the
// steps log, ask or report arrives on the session's thread in the order it was said; questions
// wait there for their answer. Only one job runs at a time.
#include "session/job/Job.h"
#include "session/job/JobContext.h"

#include <QObject>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

class JobRunner : public QObject {
    Q_OBJECT
public:
    // Where a job's reports go, on the session's thread.
    struct Client {
        std::function<void(const QString& text, LogColour colour)> log;
        std::function<Answer(const Prompt& prompt)> ask;
        std::function<void(const QString& text, const QString& caption)> warn;
        std::function<void(Operation operation)> operationStarted;
        std::function<void(int position, int maximum)> progressChanged;
    };

    explicit JobRunner(Client client);
    ~JobRunner() override;

    // Starts the job on a thread of its own. `ended` runs on the session's thread with the job's
    // outcome, after everything the job reported. False (nothing started) when no thread could
    // be created.
    bool start(Job job, std::function<void(Outcome)> ended);
    // Runs the job on the calling thread to its end.
    Outcome runHere(Job job);

    bool running() const { return thread_.joinable(); }
    // Asks the running job to stop at its next step; without one nothing happens.
    void cancel();
    // Cancels the running job and handles events until it has ended.
    void cancelAndWait();

    int progressPosition() const { return position_; }
    int progressMaximum() const { return maximum_; }
    void setProgressMaximum(int maximum);
    void setProgressPosition(int position);

private:
    class WorkerContext;
    class HereContext;
    friend class WorkerContext;
    friend class HereContext;

    static Outcome runSteps(Job& job, JobContext& context);
    // The bar's erase tick: one step on, back to 0 after 100 (an erase's end cannot be foreseen).
    void tick();
    void finishThread(Outcome outcome, std::function<void(Outcome)> ended, std::function<void(Outcome)> finished);

    Client client_;
    std::thread thread_;
    std::atomic<bool> cancel_{false};
    int position_ = 0, maximum_ = 0;
};
