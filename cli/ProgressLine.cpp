#include "cli/ProgressLine.h"

#include <algorithm>

void ProgressLine::begin(const QString& what, uint64_t bytes)
{
    finish();
    what_ = what;
    bytes_ = bytes;
    clock_.start();
    lastDecile_ = 0;
    lastPercent_ = -1;
}

void ProgressLine::update(int position, int maximum)
{
    if (maximum <= 0 || what_.isEmpty()) return;
    const int percent = std::clamp(int(int64_t(position) * 100 / maximum), 0, 100);
    if (!terminal_) {
        // One line per tenth: enough for a log file, few enough to read.
        const int decile = percent / 10;
        if (decile == lastDecile_ || percent == 0) return;
        lastDecile_ = decile;
        std::fprintf(stream_, "%s %d%%\n", qPrintable(what_), decile * 10);
        std::fflush(stream_);
        return;
    }
    if (percent == lastPercent_) return;
    lastPercent_ = percent;
    constexpr int Width = 30;
    const int filled = percent * Width / 100;
    QString line = QStringLiteral("\r%1 [%2%3] %4%")
                       .arg(what_)
                       .arg(QString(filled, QLatin1Char('#')))
                       .arg(QString(Width - filled, QLatin1Char('.')))
                       .arg(percent, 3);
    const double seconds = clock_.elapsed() / 1000.0;
    if (bytes_ > 0 && seconds > 0.2 && position > 0) {
        const double done = double(bytes_) * position / maximum;
        const double rate = done / seconds;
        const double left = rate > 0 ? (double(bytes_) - done) / rate : 0;
        line += QStringLiteral("  %1 KB/s  %2 s left").arg(rate / 1000, 0, 'f', 1).arg(left, 0, 'f', 0);
    }
    std::fprintf(stream_, "%s\x1b[K", qPrintable(line));
    std::fflush(stream_);
    drawn_ = true;
}

void ProgressLine::finish()
{
    // A bar that reached its end stays; one that did not (a failure, a cancel) goes, leaving no
    // stale "Reading ... 0%" behind the message that follows.
    if (drawn_) std::fputs(lastPercent_ >= 100 ? "\n" : "\r\x1b[K", stream_);
    std::fflush(stream_);
    drawn_ = false;
    what_.clear();
}
