#pragma once
// Progress of a long operation on the standard error stream: a bar with percent, rate and time
// left while it is a terminal, a plain line every 10 % otherwise.
#include <QElapsedTimer>
#include <QString>
#include <cstdint>
#include <cstdio>

class ProgressLine {
public:
    ProgressLine(std::FILE* stream, bool terminal) : stream_(stream), terminal_(terminal) {}

    // A new operation of `bytes` bytes (0: no rate, such as an erase) begins.
    void begin(const QString& what, uint64_t bytes);
    void update(int position, int maximum);
    // Ends the bar's line (a terminal keeps the last bar).
    void finish();

private:
    std::FILE* stream_;
    bool terminal_;
    QString what_;
    uint64_t bytes_ = 0;
    QElapsedTimer clock_;
    int lastDecile_ = -1;
    int lastPercent_ = -1;
    bool drawn_ = false;
};
