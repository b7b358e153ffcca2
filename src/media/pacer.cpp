#include <QElapsedTimer>
#include <chrono>

#include "media/device.h"

namespace media::detail {

void Pacer::start() {
    if (thread_.joinable()) return;
    thread_ = std::thread([this] { run(); });
}

void Pacer::wake() {
    woken_.store(true, std::memory_order_release);
    cv_.notify_one();
}

void Pacer::stop() {
    quit_.store(true);
    cv_.notify_one();
    if (thread_.joinable()) thread_.join();
}

void Pacer::run() {
    std::array<float, kBlockFrames * 2> buf{};
    QElapsedTimer clock;
    int64_t paced = 0;
    bool resting = true;
    while (!quit_.load()) {
        if (resting) {
            // The clock starts again when a voice comes, so no time piles up while resting.
            clock.start();
            paced = 0;
        }
        const int64_t due = clock.nsecsElapsed() * kMixRate / 1000000000;
        while (paced + kBlockFrames <= due) {
            mixer_.render(buf.data(), kBlockFrames);
            paced += kBlockFrames;
        }
        woken_.store(false, std::memory_order_relaxed);
        resting = !mixer_.anyActive();
        std::unique_lock lock(mutex_);
        cv_.wait_for(lock, resting ? std::chrono::milliseconds(250) : std::chrono::milliseconds(10),
                     [&] { return quit_.load() || (resting && woken_.load()); });
    }
}

}  // namespace media::detail
