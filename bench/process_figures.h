#pragma once
// What a benchmark measures of its own process: resident memory, its peak, bytes read.

#include <sys/resource.h>
#include <unistd.h>

#include <QFile>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

// Resident memory of this process, in MB.
inline double residentMb() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * sysconf(_SC_PAGESIZE) / (1024.0 * 1024.0) : 0;
}

// The highest resident memory while it lives, sampled every millisecond on a thread of its own.
class PeakMemory {
  public:
    PeakMemory() : base_(residentMb()), peak_(base_) {
        thread_ = std::thread([this] {
            while (!stop_.load()) {
                const double now = residentMb();
                if (now > peak_.load()) peak_.store(now);
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
    }
    ~PeakMemory() { stopped(); }
    // Growth over the memory at the start, in MB; stops the sampling.
    double stopped() {
        if (thread_.joinable()) {
            stop_.store(true);
            thread_.join();
        }
        const double now = residentMb();
        if (now > peak_.load()) peak_.store(now);
        return peak_.load() - base_;
    }

  private:
    const double base_;
    std::atomic<double> peak_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// Bytes this process has read through system calls so far (page cache or disk).
inline double bytesReadSoFar() {
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : io.readAll().split('\n'))
        if (line.startsWith("rchar:")) return line.mid(6).trimmed().toDouble();
    return 0;
}

// CPU seconds this process's threads have used so far (user and system).
inline double cpuSecondsSoFar() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}
