#include "documents/parallel_measure.h"

#include <QCoreApplication>
#include <QThread>
#include <algorithm>

namespace documents {

ParallelMeasure::ParallelMeasure(std::vector<QString> paths, Measure measure, int threads,
                                 std::function<void()> wake)
    : paths_(std::move(paths)),
      measure_(std::move(measure)),
      wake_(std::move(wake)),
      results_(paths_.size()),
      ready_(std::make_unique<std::atomic<bool>[]>(paths_.size())) {
    const int n = std::clamp<int>(threads, 1, std::max<int>(1, static_cast<int>(paths_.size())));
    if (paths_.empty()) return;
    running_.store(n);
    workers_.reserve(n);
    for (int i = 0; i < n; ++i) workers_.emplace_back([this] { work(); });
}

ParallelMeasure::~ParallelMeasure() {
    stop();
    workers_.clear();  // joins
}

bool ParallelMeasure::ready(size_t index) const {
    return index < paths_.size() && ready_[index].load(std::memory_order_acquire);
}

void ParallelMeasure::work() {
    for (;;) {
        if (stopped_.load(std::memory_order_relaxed)) break;
        const size_t i = next_.fetch_add(1, std::memory_order_relaxed);
        if (i >= paths_.size()) break;
        MeasuredFile r;
        try {
            r = measure_(paths_[i]);
        } catch (...) {
            // Out of memory or the like on one file: that file is not taken, the rest go on.
            r = MeasuredFile{};
        }
        results_[i] = r;
        ready_[i].store(true, std::memory_order_release);
        if (wake_) wake_();
    }
    running_.fetch_sub(1, std::memory_order_acq_rel);
    if (wake_) wake_();
}

int measureThreads(size_t count) {
    // Measuring is part reading, part parsing: a thread per core, but a few even on one core so
    // a slow disk does not hold up the others.
    const int cores = std::max(QThread::idealThreadCount(), 2);
    return static_cast<int>(std::min<size_t>(std::min(cores, 8), std::max<size_t>(count, 1)));
}

MeasureProgress::MeasureProgress(const QString& label, int maximum) : dialog_(label, maximum) {
    due_.setSingleShot(true);
    due_.setTimerType(Qt::PreciseTimer);
    due_.start(platform::progressDelayMs());
}

void MeasureProgress::wait(int done) {
    dialog_.update(done);
    // Nothing else may wake the wait (the tick rests while no deck runs): until the dialog is up,
    // a wake-up stays pending, even when the timer came a moment before the dialog was due.
    if (!dialog_.shown() && !due_.isActive()) due_.start(1);
    if (!canceled())
        QCoreApplication::processEvents(dialog_.eventFlags() | QEventLoop::WaitForMoreEvents);
    dialog_.update(done);
}

}  // namespace documents
