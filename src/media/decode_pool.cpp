#include "media/decode_pool.h"

#include <algorithm>

#include "media/file_access.h"
#include "media/frame_walks.h"

namespace media::detail {

namespace {
constexpr int kChunkFrames = 1024;  // small pieces, so the first sound comes quickly
}

DecodePool& DecodePool::instance() {
    static DecodePool pool;
    return pool;
}

DecodePool::DecodePool() {
    setFramesWalkedBell(&bell_);
    for (int i = 0; i < 2; ++i) threads_.emplace_back([this] { run(); });
}

DecodePool::~DecodePool() {
    setFramesWalkedBell(nullptr);
    quit_ = true;
    bell_.ring();
    for (auto& t : threads_) t.join();
}

void DecodePool::add(std::shared_ptr<Stream> s) {
    s->ring.setRefillBell(&bell_);
    {
        std::lock_guard lock(mutex_);
        streams_.push_back(std::move(s));
    }
    bell_.ring();
}

void DecodePool::setPaused(bool paused) {
    paused_ = paused;
    bell_.ring();
}

bool DecodePool::fill(Stream& s) {
    if (!s.opened.load(std::memory_order_acquire)) {
        if (!s.decoder.isOpen()) {
            const FileStamp stamp = fileStamp(s.path);
            s.fileSize.store(stamp.size, std::memory_order_relaxed);
            s.fileModified.store(stamp.modified, std::memory_order_release);
            if (!s.decoder.open(s.path, s.streamIndex)) {
                s.finished.store(true, std::memory_order_release);
                return true;
            }
        }
        // A start far into an MP3 whose frames are still to be walked waits for the walk on the
        // walk worker: this worker fills the other rings meanwhile, and the walk's end wakes it.
        if (s.startSeconds > 0 && s.decoder.seekWaitsForFrameWalk(s.startSeconds)) return false;
        if (s.startSeconds > 0 && !s.decoder.seek(s.startSeconds)) {
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
        // Read before looking, so a ring while looking is not slept through.
        const uint32_t seen = bell_.value();
        passes_.fetch_add(1, std::memory_order_relaxed);
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
        if (!worked) bell_.wait(seen);
    }
}

}  // namespace media::detail
