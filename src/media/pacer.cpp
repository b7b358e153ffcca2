#include <QElapsedTimer>
#include <chrono>

#include "media/device.h"

namespace media::detail {

void Pacer::start() {
    if (thread_.joinable()) return;
    thread_ = std::thread([this] { run(); });
}

void Pacer::wake() { bell_.ring(); }

void Pacer::stop() {
    quit_.store(true);
    bell_.ring();
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
        // Looked at before the mixer is: a voice added after this wakes the sleep below.
        const uint32_t seen = bell_.value();
        resting = !mixer_.anyActive();
        if (quit_.load()) break;
        bell_.waitFor(seen,
                      resting ? std::chrono::milliseconds(250) : std::chrono::milliseconds(10));
    }
}

}  // namespace media::detail
