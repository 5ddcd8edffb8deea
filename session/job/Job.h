#pragma once
// An operation on the chip as a value: the steps a command runs, in order, each with an explicit
// outcome. One runner executes jobs (session/job/JobRunner.h); the first step that does not
// complete ends the job, and its outcome is the job's.
#include "session/Outcome.h"

#include <functional>
#include <vector>

class JobContext;

// The kinds of operation a job runs on the chip, for the front end's progress label.
enum class Operation { Read, Write, Compare, BlankCheck, Erase };

struct JobStep {
    const char* name; // for tests and the bus log
    std::function<Outcome(JobContext&)> run;
};

struct Job {
    std::vector<JobStep> steps;
    // On the session's thread once the job has ended, with its outcome (on every path).
    std::function<void(Outcome)> finished;

    Job& then(const char* name, std::function<Outcome(JobContext&)> run)
    {
        steps.push_back({name, std::move(run)});
        return *this;
    }
    // Appends another job's steps (a script chains several commands).
    Job& then(Job other)
    {
        for (JobStep& step : other.steps) steps.push_back(std::move(step));
        if (other.finished) {
            auto before = std::move(finished);
            finished = [before = std::move(before), after = std::move(other.finished)](Outcome outcome) {
                if (before) before(outcome);
                after(outcome);
            };
        }
        return *this;
    }
};
