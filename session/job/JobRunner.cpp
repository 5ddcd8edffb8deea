#include "session/job/JobRunner.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <sys/resource.h>
#include <system_error>
#include <unistd.h>

namespace {
// A raised priority keeps the adapter's exchanges back to back. The worker asks for a lower nice
// value rather than real-time scheduling, which would let a worker spinning on the emulated bus
// starve the window. Without the privilege the request is refused and the worker runs as it is:
// that is expected and not worth reporting.
constexpr int WorkerNice = -10;
constexpr int EraseBarLength = 100;
} // namespace

// Steps on the worker thread: reports are queued to the session's thread in order; questions and
// session work wait for it.
class JobRunner::WorkerContext final : public JobContext {
public:
    explicit WorkerContext(JobRunner& runner) : runner_(runner) {}

    void log(const QString& text, LogColour colour, int64_t number) override
    {
        post([text = text + LogNumberSuffix(number), colour](JobRunner& r) { r.client_.log(text, colour); });
    }
    Answer ask(const Prompt& prompt) override
    {
        Answer answer = Answer::No;
        onSession([&] { answer = runner_.client_.ask(prompt); });
        return answer;
    }
    void warn(const QString& text, const QString& caption) override
    {
        onSession([&] { runner_.client_.warn(text, caption); });
    }
    void onSession(const std::function<void()>& work) override
    {
        QMetaObject::invokeMethod(&runner_, work, Qt::BlockingQueuedConnection);
    }
    void beginOperation(Operation operation, int maximum) override
    {
        post([operation, maximum](JobRunner& r) {
            r.setProgressMaximum(maximum);
            r.setProgressPosition(0);
            r.client_.operationStarted(operation);
        });
    }
    void setProgress(int position) override
    {
        post([position](JobRunner& r) { r.setProgressPosition(position); });
    }
    void tick() override
    {
        post([](JobRunner& r) { r.tick(); });
    }
    bool cancelRequested() const override { return runner_.cancel_.load(std::memory_order_acquire); }

private:
    template <class Work>
    void post(Work work)
    {
        JobRunner* runner = &runner_;
        QMetaObject::invokeMethod(
            runner, [runner, work = std::move(work)] { work(*runner); }, Qt::QueuedConnection);
    }
    JobRunner& runner_;
};

// Steps on the session's own thread: everything is done at once.
class JobRunner::HereContext final : public JobContext {
public:
    explicit HereContext(JobRunner& runner) : runner_(runner) {}

    void log(const QString& text, LogColour colour, int64_t number) override
    {
        runner_.client_.log(text + LogNumberSuffix(number), colour);
    }
    Answer ask(const Prompt& prompt) override { return runner_.client_.ask(prompt); }
    void warn(const QString& text, const QString& caption) override { runner_.client_.warn(text, caption); }
    void onSession(const std::function<void()>& work) override { work(); }
    void beginOperation(Operation operation, int maximum) override
    {
        runner_.setProgressMaximum(maximum);
        runner_.setProgressPosition(0);
        runner_.client_.operationStarted(operation);
    }
    void setProgress(int position) override { runner_.setProgressPosition(position); }
    void tick() override { runner_.tick(); }
    bool cancelRequested() const override { return runner_.cancel_.load(std::memory_order_acquire); }

private:
    JobRunner& runner_;
};

JobRunner::JobRunner(Client client) : client_(std::move(client)) {}

JobRunner::~JobRunner()
{
    cancelAndWait();
}

Outcome JobRunner::runSteps(Job& job, JobContext& context)
{
    for (JobStep& step : job.steps) {
        const Outcome outcome = step.run(context);
        if (outcome != Outcome::Completed) {
            context.note(outcome);
            break;
        }
    }
    return context.outcome();
}

bool JobRunner::start(Job job, std::function<void(Outcome)> ended)
{
    if (running()) return false;
    cancel_.store(false, std::memory_order_release);
    try {
        thread_ = std::thread([this, job = std::move(job), ended = std::move(ended)]() mutable {
            setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), WorkerNice);
            WorkerContext context(*this);
            const Outcome outcome = runSteps(job, context);
            // Queued behind every report of the job: the session hears the end last.
            QMetaObject::invokeMethod(
                this,
                [this, outcome, ended = std::move(ended), finished = std::move(job.finished)]() mutable {
                    finishThread(outcome, std::move(ended), std::move(finished));
                },
                Qt::QueuedConnection);
        });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void JobRunner::finishThread(Outcome outcome, std::function<void(Outcome)> ended, std::function<void(Outcome)> finished)
{
    if (thread_.joinable()) thread_.join();
    if (finished) finished(outcome);
    if (ended) ended(outcome);
}

Outcome JobRunner::runHere(Job job)
{
    cancel_.store(false, std::memory_order_release);
    HereContext context(*this);
    const Outcome outcome = runSteps(job, context);
    if (job.finished) job.finished(outcome);
    return outcome;
}

void JobRunner::cancel()
{
    if (running()) cancel_.store(true, std::memory_order_release);
}

void JobRunner::cancelAndWait()
{
    while (running()) {
        cancel();
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
}

void JobRunner::setProgressMaximum(int maximum)
{
    maximum_ = maximum;
    client_.progressChanged(position_, maximum_);
}

void JobRunner::setProgressPosition(int position)
{
    position_ = position;
    client_.progressChanged(position_, maximum_);
}

void JobRunner::tick()
{
    setProgressPosition(position_ + 1 > EraseBarLength ? 0 : position_ + 1);
}
