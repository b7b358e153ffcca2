#pragma once
// Single-producer single-consumer ring of stereo frames: a decoder worker writes, the mixer
// reads, without locks. Capacity is fixed at construction (never allocates afterwards). A read
// that leaves half the ring free rings the producer's doorbell, once per crossing.

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <memory>

#include "media/doorbell.h"

namespace media {

class FrameRing {
  public:
    // The storage is not cleared: only written frames are ever read, and a voice starts without
    // touching its pages (the decoder's thread does, as it writes).
    explicit FrameRing(int capacityFrames)
        : cap_(capacityFrames),
          data_(std::make_unique_for_overwrite<float[]>(static_cast<size_t>(capacityFrames) * 2)) {}

    int capacity() const { return cap_; }
    int available() const {  // frames ready to read
        return static_cast<int>(write_.load(std::memory_order_acquire) -
                                read_.load(std::memory_order_relaxed));
    }
    int space() const {  // frames that can be written
        return cap_ - static_cast<int>(write_.load(std::memory_order_relaxed) -
                                       read_.load(std::memory_order_acquire));
    }

    // The producer's doorbell (any thread, once, before or while the consumer reads).
    void setRefillBell(Doorbell* bell) { bell_.store(bell, std::memory_order_release); }

    // Producer side.
    int write(const float* src, int frames) {
        frames = std::min(frames, space());
        copy(write_.load(std::memory_order_relaxed), frames, [&](float* ring, int at, int n) {
            std::memcpy(ring, src + at * 2, sizeof(float) * 2 * n);
        });
        write_.fetch_add(frames, std::memory_order_release);
        return frames;
    }

    // Consumer side.
    int read(float* dst, int frames) {
        frames = std::min(frames, available());
        copy(read_.load(std::memory_order_relaxed), frames, [&](float* ring, int at, int n) {
            std::memcpy(dst + at * 2, ring, sizeof(float) * 2 * n);
        });
        consumed(frames);
        return frames;
    }
    // Drops up to `frames` frames unread (a voice catching up after an underrun).
    int discard(int64_t frames) {
        const int n = static_cast<int>(std::min<int64_t>(frames, available()));
        consumed(n);
        return n;
    }

  private:
    void consumed(int frames) {
        const uint64_t before = read_.fetch_add(frames, std::memory_order_release);
        const int half = cap_ / 2;
        const int freeBefore =
            cap_ - static_cast<int>(write_.load(std::memory_order_acquire) - before);
        if (freeBefore < half && freeBefore + frames >= half)
            if (Doorbell* bell = bell_.load(std::memory_order_acquire)) bell->ring(1);
    }

    template <class F>
    void copy(uint64_t cursor, int frames, F&& f) {
        const int start = static_cast<int>(cursor % static_cast<uint64_t>(cap_));
        const int first = std::min(frames, cap_ - start);
        if (first > 0) f(data_.get() + start * 2, 0, first);
        if (frames > first) f(data_.get(), first, frames - first);
    }

    const int cap_;
    std::unique_ptr<float[]> data_;
    std::atomic<uint64_t> write_{0};
    std::atomic<uint64_t> read_{0};
    std::atomic<Doorbell*> bell_{nullptr};
};

}  // namespace media
