#pragma once

// The GUI thread's responsiveness while a bench runs: the lateness of a 5 ms timer (longest stall and
// percentiles) and the peak resident memory sampled at each tick. Lives on the GUI thread.
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <fstream>
#include <unistd.h>
#include <vector>

namespace quillfen::bench {

inline double residentMegabytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1e6;
}

struct GuiStallWatch {
    QTimer timer;
    QElapsedTimer clock;
    qint64 last = 0;
    std::vector<double> lateness;
    double peakMegabytes = 0;

    GuiStallWatch() {
        timer.setTimerType(Qt::PreciseTimer);
        timer.setInterval(5);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            const qint64 now = clock.nsecsElapsed();
            lateness.push_back(std::max(0.0, (now - last) / 1e6 - 5));
            last = now;
            peakMegabytes = std::max(peakMegabytes, residentMegabytes());
        });
        clock.start();
        timer.start();
    }
    // The lateness at fraction p of the sorted ticks, in milliseconds; 1 is the longest stall.
    double percentile(double p) {
        if (lateness.empty()) return 0;
        std::sort(lateness.begin(), lateness.end());
        return lateness[static_cast<std::size_t>(p * static_cast<double>(lateness.size() - 1))];
    }
};

}  // namespace quillfen::bench
