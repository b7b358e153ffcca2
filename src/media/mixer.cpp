#include "media/mixer.h"

#include <chrono>

namespace media {

Mixer::Mixer() = default;

int Mixer::addVoice(Stream* stream, float gain) {
    for (int i = 0; i < kMaxVoices; ++i) {
        Slot& s = slots_[i];
        if (s.state.load(std::memory_order_acquire) != Free) continue;
        s.stream = stream;
        s.targetGain.store(gain, std::memory_order_relaxed);
        s.stopRequested.store(false, std::memory_order_relaxed);
        s.framesPlayed.store(0, std::memory_order_relaxed);
        s.playedOut.store(false, std::memory_order_relaxed);
        s.sounded.store(false, std::memory_order_relaxed);
        s.firstSoundNs.store(0, std::memory_order_relaxed);
        s.begun = false;
        s.state.store(Active, std::memory_order_release);  // publishes the fields above
        return i;
    }
    return -1;
}

bool Mixer::anyActive() const {
    for (const Slot& s : slots_)
        if (s.state.load(std::memory_order_acquire) == Active) return true;
    return false;
}

void Mixer::render(float* out, int frames) {
    for (int done = 0; done + kBlockFrames <= frames; done += kBlockFrames)
        renderBlock(out + static_cast<size_t>(done) * 2);
}

void Mixer::renderBlock(float* out) {
    std::fill(out, out + kBlockFrames * 2, 0.0f);
    for (Slot& s : slots_) {
        if (s.state.load(std::memory_order_acquire) != Active) continue;
        Stream& st = *s.stream;
        const bool stopping = s.stopRequested.load(std::memory_order_acquire);
        const float target = stopping ? 0.0f : s.targetGain.load(std::memory_order_relaxed);
        if (!s.begun) {
            // A voice starts at its volume: the first sample is the one asked for.
            s.begun = true;
            s.gain = target;
        }
        // Read "finished" before the ring: every frame was written before it was set.
        const bool finished = st.finished.load(std::memory_order_acquire);
        int n = 0;
        if (!(stopping && s.gain == 0.0f)) n = st.ring.read(scratch_.data(), kBlockFrames);
        // The volume moves linearly over one block, also on a partial block (an underrun).
        const float g0 = s.gain, step = (target - g0) / kBlockFrames;
        for (int i = 0; i < n; ++i) {
            const float g = g0 == target ? target : g0 + step * static_cast<float>(i + 1);
            out[2 * i] += scratch_[2 * i] * g;
            out[2 * i + 1] += scratch_[2 * i + 1] * g;
        }
        s.gain = target;
        if (n > 0) {
            s.framesPlayed.fetch_add(n, std::memory_order_release);
            if (!s.sounded.load(std::memory_order_relaxed)) {
                s.firstSoundNs.store(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                         std::chrono::steady_clock::now().time_since_epoch())
                                         .count(),
                                     std::memory_order_relaxed);
                s.sounded.store(true, std::memory_order_release);
            }
        }
        if (stopping) {
            s.state.store(Done, std::memory_order_release);
        } else if (n < kBlockFrames && finished && st.ring.available() == 0) {
            s.playedOut.store(true, std::memory_order_release);
            s.state.store(Done, std::memory_order_release);
        }
        // Otherwise a short read is an underrun: silence now, the voice goes on when the
        // decoder catches up, and its cursor has not moved past what was heard.
    }
    rendered_.fetch_add(kBlockFrames, std::memory_order_release);
}

}  // namespace media
