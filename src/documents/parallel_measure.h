#pragma once
// Measures a list of files on worker threads, several at a time, while the caller takes the
// results in list order. The files are started in list order too, so the one the caller waits
// for is always among the first being measured.

#include <QString>
#include <QTimer>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "platform/progress.h"

namespace media {
class Movie;
}

namespace documents {

struct MeasuredFile {
    enum class Kind {
        NotAFile,  // not a regular file: a folder, a FIFO, a dangling link
        Failed,    // a file that does not open as a movie
        Measured,
        Missing,  // nothing there, or a folder (a playlist keeps such records)
    };
    Kind kind = Kind::Failed;
    double seconds = 0;
    int32_t label = 0;
    // The movie opened to measure it, handed on to the clips of the file (media::keepOpened) so
    // that they need not open it again.
    std::shared_ptr<media::Movie> movie;
};

class ParallelMeasure {
  public:
    using Measure = std::function<MeasuredFile(const QString& path)>;

    // wake runs on a worker thread after each result; it must be thread-safe.
    ParallelMeasure(std::vector<QString> paths, Measure measure, int threads,
                    std::function<void()> wake);
    // Starts no further file and waits for the ones under way.
    ~ParallelMeasure();
    ParallelMeasure(const ParallelMeasure&) = delete;
    ParallelMeasure& operator=(const ParallelMeasure&) = delete;

    size_t size() const { return paths_.size(); }
    bool ready(size_t index) const;
    // Only once ready(index).
    const MeasuredFile& result(size_t index) const { return results_[index]; }
    MeasuredFile& result(size_t index) { return results_[index]; }
    // No file is started after this; the ones under way still finish.
    void stop() { stopped_.store(true, std::memory_order_relaxed); }
    // How many workers are still running.
    int running() const { return running_.load(std::memory_order_acquire); }

  private:
    void work();

    const std::vector<QString> paths_;
    const Measure measure_;
    const std::function<void()> wake_;
    std::vector<MeasuredFile> results_;
    std::unique_ptr<std::atomic<bool>[]> ready_;
    std::atomic<size_t> next_{0};
    std::atomic<bool> stopped_{false};
    std::atomic<int> running_{0};
    std::vector<std::jthread> workers_;  // last: joined before the rest is destroyed
};

// Threads worth using to measure count files on this machine.
int measureThreads(size_t count);

// Keeps the window live while files are measured: timer ticks and repaints run, user input
// waits, and once the run has lasted long enough a progress dialog with Cancel takes the input.
class MeasureProgress {
  public:
    MeasureProgress(const QString& label, int maximum);

    bool canceled() const { return dialog_.cancelled(); }
    // Runs events until something happens: a file measured, a tick, the dialog coming due.
    void wait(int done);
    // After an item: the dialog moves on and pending events run once.
    void step(int done) { dialog_.step(done); }

  private:
    platform::ProgressDialog dialog_;
    QTimer due_;  // wakes a wait that nothing else would end when the dialog is due
};

}  // namespace documents
