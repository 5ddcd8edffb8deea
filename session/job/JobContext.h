#pragma once
// What a step of a job works with: the log, the questions, the progress bar, the cancel request
// and the session's own thread for what lives there (the editor, the compare view). A step may run
// on a worker thread; everything here is safe to call from it and arrives in order.
#include "family/ChipDriver.h"
#include "session/LogText.h"
#include "session/Outcome.h"
#include "session/job/Job.h"
#include "session/job/Prompt.h"

#include <QString>
#include <cstdint>
#include <functional>

class JobContext {
public:
    virtual ~JobContext() = default;

    virtual void log(const QString& text, LogColour colour = LogColour::Navy, int64_t number = -1) = 0;
    // A red line that also decides the job's outcome unless an earlier one did; returns it so a
    // step can end with `return ctx.fail(...)`.
    Outcome fail(Outcome outcome, const QString& text, int64_t number = -1)
    {
        note(outcome);
        log(text, LogColour::Red, number);
        return outcome;
    }
    // Records how the job ends unless something decided it before (a step that goes on).
    void note(Outcome outcome)
    {
        if (outcome_ == Outcome::Completed) outcome_ = outcome;
    }
    Outcome outcome() const { return outcome_; }

    virtual Answer ask(const Prompt& prompt) = 0;
    bool confirm(const Prompt& prompt) { return ask(prompt) == Answer::Yes; }
    virtual void warn(const QString& text, const QString& caption) = 0;

    // Runs `work` on the session's thread and waits for it.
    virtual void onSession(const std::function<void()>& work) = 0;

    // The progress bar: a new operation with its step count, a position, a tick of the erase's
    // bar (which starts over after 100), and the return to 0.
    virtual void beginOperation(Operation operation, int maximum) = 0;
    virtual void setProgress(int position) = 0;
    virtual void tick() = 0;

    virtual bool cancelRequested() const = 0;

private:
    Outcome outcome_ = Outcome::Completed;
};

// The family's progress in bytes, shown as steps of `unit` bytes on the bar.
class StepProgress final : public family::Progress {
public:
    StepProgress(JobContext& context, uint64_t unit, uint64_t startBytes = 0)
        : context_(context), unit_(unit == 0 ? 1 : unit), bytes_(startBytes)
    {
    }
    void advance(uint64_t bytes) override
    {
        const uint64_t before = bytes_ / unit_;
        bytes_ += bytes;
        if (bytes_ / unit_ != before) context_.setProgress(int(bytes_ / unit_));
    }
    void tick() override { context_.tick(); }
    bool cancelRequested() override { return context_.cancelRequested(); }
    uint64_t bytes() const { return bytes_; }

private:
    JobContext& context_;
    uint64_t unit_;
    uint64_t bytes_;
};
