#pragma once
// Runs the event loop until a condition holds or the time is up; tells whether it holds.
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <functional>

inline bool RunUntil(const std::function<bool()>& done, int milliseconds = 10000)
{
    const QDeadlineTimer deadline(milliseconds);
    while (!done() && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}
