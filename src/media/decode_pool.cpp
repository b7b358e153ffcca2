#include <algorithm>
#include <chrono>
#include <cmath>

#include "media/device.h"

namespace media::detail {

namespace {
constexpr int kChunkFrames = 1024;  // small pieces, so the first sound comes quickly
}

DecodePool& DecodePool::instance() {
    static DecodePool pool;
    return pool;
}

DecodePool::DecodePool() {
    for (int i = 0; i < 2; ++i) threads_.emplace_back([this] { run(); });
}

DecodePool::~DecodePool() {
    quit_ = true;
    wake_.notify_all();
    for (auto& t : threads_) t.join();
}

void DecodePool::add(std::shared_ptr<Stream> s) {
    {
        std::lock_guard lock(mutex_);
        streams_.push_back(std::move(s));
    }
    wake_.notify_all();
}

void DecodePool::setPaused(bool paused) {
    paused_ = paused;
    wake_.notify_all();
}

bool DecodePool::fill(Stream& s) {
    if (!s.opened.load(std::memory_order_acquire)) {
        if (!s.decoder.open(s.path, s.streamIndex) ||
            (s.startSeconds > 0 && !s.decoder.seek(s.startSeconds))) {
            s.finished.store(true, std::memory_order_release);
            return true;
        }
        s.decoder.setEndFrame(s.endFrame);
        s.opened.store(true, std::memory_order_release);
    }
    float buf[kChunkFrames * kMixChannels];
    bool worked = false;
    // A bounded amount per visit, so one stream cannot starve the others.
    for (int pass = 0; pass < 8 && !s.cancelled.load(std::memory_order_relaxed); ++pass) {
        const int room = std::min(s.ring.space(), kChunkFrames);
        if (room < kChunkFrames / 2 && s.ring.space() < s.ring.capacity()) break;
        const int n = s.decoder.read(buf, room);
        if (n > 0) s.ring.write(buf, n);
        worked = true;
        if (n < room || s.decoder.atEnd()) {
            s.finished.store(true, std::memory_order_release);
            break;
        }
    }
    return worked;
}

void DecodePool::run() {
    std::vector<std::shared_ptr<Stream>> snapshot;
    while (!quit_) {
        {
            std::lock_guard lock(mutex_);
            std::erase_if(streams_, [](const std::shared_ptr<Stream>& s) {
                return s->cancelled.load() || s->finished.load();
            });
            snapshot = streams_;
        }
        bool worked = false;
        if (!paused_) {
            for (auto& s : snapshot) {
                if (s->cancelled.load() || s->finished.load()) continue;
                if (s->busy.exchange(true)) continue;
                worked |= fill(*s);
                s->busy.store(false);
            }
        }
        snapshot.clear();  // the last reference to a dropped stream may go here, off the UI
        if (!worked) {
            std::unique_lock lock(mutex_);
            wake_.wait_for(lock, std::chrono::milliseconds(4));
        }
    }
}

}  // namespace media::detail
