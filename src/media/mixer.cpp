#include "media/mixer.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace media {

float Envelope::gain(int64_t m, float otherwise) const {
    float g = otherwise;
    if (m <= in) g = 0;
    if (m >= out) g = 0;
    if (fadeInEnd <= m && m <= fadeOutStart) g = 1;
    if (in < m && m < fadeInEnd)
        g = static_cast<float>(static_cast<double>(m - in) / static_cast<double>(fadeInEnd - in));
    if (fadeOutStart < m && m < out)
        g = static_cast<float>(static_cast<double>(out - m) /
                               static_cast<double>(out - fadeOutStart));
    return g;
}

namespace {
// Frames over which a voice falls silent before the frame it was asked to (2 ms).
constexpr int64_t kSilenceRamp = 96;
}  // namespace

Mixer::Mixer() = default;

void Mixer::setEnvelope(int slot, const Envelope& e) {
    Slot& s = slots_[slot];
    const uint32_t v = s.envelopeVersion.load(std::memory_order_relaxed);
    s.envelopeVersion.store(v + 1, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
    s.envelopeFrames[0].store(e.in, std::memory_order_relaxed);
    s.envelopeFrames[1].store(e.fadeInEnd, std::memory_order_relaxed);
    s.envelopeFrames[2].store(e.fadeOutStart, std::memory_order_relaxed);
    s.envelopeFrames[3].store(e.out, std::memory_order_relaxed);
    s.enveloped.store(true, std::memory_order_relaxed);
    s.envelopeVersion.store(v + 2, std::memory_order_release);
}

void Mixer::readEnvelope(Slot& s) {
    // A sequence lock: the fields count only when the version was even and unchanged around them.
    const uint32_t before = s.envelopeVersion.load(std::memory_order_acquire);
    if (before & 1) return;
    const bool on = s.enveloped.load(std::memory_order_relaxed);
    const Envelope e{s.envelopeFrames[0].load(std::memory_order_relaxed),
                     s.envelopeFrames[1].load(std::memory_order_relaxed),
                     s.envelopeFrames[2].load(std::memory_order_relaxed),
                     s.envelopeFrames[3].load(std::memory_order_relaxed)};
    std::atomic_thread_fence(std::memory_order_acquire);
    if (s.envelopeVersion.load(std::memory_order_relaxed) != before) return;
    s.hasEnvelope = on;
    s.envelope = e;
}

int Mixer::addVoice(Stream* stream, float gain, const VoiceStart& start, const Envelope* envelope) {
    for (int i = 0; i < kMaxVoices; ++i) {
        Slot& s = slots_[i];
        if (s.state.load(std::memory_order_acquire) != Free) continue;
        s.generation.fetch_add(1, std::memory_order_relaxed);
        s.stream = stream;
        s.targetGain.store(gain, std::memory_order_relaxed);
        s.stopRequested.store(false, std::memory_order_relaxed);
        s.stopAt.store(0, std::memory_order_relaxed);
        s.silentFrom.store(INT64_MAX, std::memory_order_relaxed);
        s.framesPlayed.store(0, std::memory_order_relaxed);
        s.playedOut.store(false, std::memory_order_relaxed);
        s.sounded.store(false, std::memory_order_relaxed);
        s.firstSoundNs.store(0, std::memory_order_relaxed);
        s.begunAt.store(kNotBegun, std::memory_order_relaxed);
        s.startKind.store(start.kind, std::memory_order_relaxed);
        s.startFrame.store(start.frame, std::memory_order_relaxed);
        s.anchor = start.anchor;
        s.anchorGeneration = start.anchorGeneration;
        s.anchorOffset = start.offset;
        s.fadeIn = start.fadeIn;
        s.enveloped.store(envelope != nullptr, std::memory_order_relaxed);
        if (envelope) {
            s.envelopeFrames[0].store(envelope->in, std::memory_order_relaxed);
            s.envelopeFrames[1].store(envelope->fadeInEnd, std::memory_order_relaxed);
            s.envelopeFrames[2].store(envelope->fadeOutStart, std::memory_order_relaxed);
            s.envelopeFrames[3].store(envelope->out, std::memory_order_relaxed);
        }
        s.hasEnvelope = false;
        s.mediaStart = std::llround(stream->startSeconds * kMixRate);
        s.begun = false;
        s.owed = 0;
        s.fadeInDone = 0;
        s.state.store(Active, std::memory_order_release);  // publishes the fields above
        return i;
    }
    return -1;
}

void Mixer::release(int slot, const VoiceStart& start) {
    Slot& s = slots_[slot];
    // Only this thread writes the kind, so a voice seen held stays held until the store below.
    if (s.startKind.load(std::memory_order_relaxed) != VoiceStart::Held ||
        start.kind == VoiceStart::Held)
        return;
    // The frame and the anchor first: the mixer reads the kind, then them.
    s.startFrame.store(start.frame, std::memory_order_relaxed);
    s.anchor = start.anchor;
    s.anchorGeneration = start.anchorGeneration;
    s.anchorOffset = start.offset;
    s.startKind.store(start.kind, std::memory_order_release);
}

bool Mixer::anyActive() const {
    for (const Slot& s : slots_)
        if (s.state.load(std::memory_order_acquire) == Active &&
            (s.startKind.load(std::memory_order_acquire) != VoiceStart::Held ||
             s.stopRequested.load(std::memory_order_acquire)))
            return true;
    return false;
}

void Mixer::render(float* out, int frames) {
    for (int done = 0; done + kBlockFrames <= frames; done += kBlockFrames) {
        const int64_t blockStart = rendered_.load(std::memory_order_relaxed);
        renderBlock(out + static_cast<size_t>(done) * 2,
                    {blockStart, blockStart, blockStart + kBlockFrames});
        rendered_.fetch_add(kBlockFrames, std::memory_order_release);
    }
}

int Mixer::quietTailFrames() const {
    return static_cast<int>(rendered_.load(std::memory_order_relaxed) - heardUntil_);
}

bool Mixer::voiceWaitsToBegin() const {
    const int64_t rendered = rendered_.load(std::memory_order_relaxed);
    for (const Slot& s : slots_) {
        // The state first: a free slot's fields are the UI's until it publishes the slot Active.
        if (s.state.load(std::memory_order_acquire) != Active || s.begun) continue;
        const int kind = s.startKind.load(std::memory_order_acquire);
        if (kind == VoiceStart::WhenReady ||
            (kind == VoiceStart::AtFrame &&
             s.startFrame.load(std::memory_order_relaxed) < rendered))
            return true;
    }
    return false;
}

int Mixer::remix(float* out, int64_t from) {
    const int64_t end = rendered_.load(std::memory_order_relaxed);
    int64_t block = from - from % kBlockFrames;
    if (from >= end || block < heardUntil_) return 0;
    // The blocks before the first voice begins stay as they were.
    while (block < end && !renderBlock(out, {block, from, end})) block += kBlockFrames;
    if (block >= end) return 0;
    const int64_t first = block;
    for (block += kBlockFrames; block < end; block += kBlockFrames)
        renderBlock(out + static_cast<size_t>(block - first) * 2, {block, from, end});
    // What lies before `from` is left alone.
    const int64_t skip = std::max<int64_t>(from - first, 0);
    if (skip > 0) std::copy(out + skip * 2, out + (end - first) * 2, out);
    return static_cast<int>(end - first - skip);
}

std::optional<int64_t> Mixer::anchorBegun(const Slot& s, bool* anchorGone) const {
    *anchorGone = true;
    if (s.anchor < 0 || s.anchor >= kMaxVoices) return std::nullopt;
    const Slot& a = slots_[s.anchor];
    // Generation, then the fields, then the generation again: a slot freed and taken again in
    // between is noticed.
    if (a.generation.load(std::memory_order_acquire) != s.anchorGeneration) return std::nullopt;
    const int state = a.state.load(std::memory_order_acquire);
    const int64_t at = a.begunAt.load(std::memory_order_acquire);
    if (a.generation.load(std::memory_order_acquire) != s.anchorGeneration || state == Free)
        return std::nullopt;
    if (at != kNotBegun) {
        *anchorGone = false;
        return at;
    }
    // An anchor that ended without a sound will never begin.
    *anchorGone = state != Active;
    return std::nullopt;
}

bool Mixer::followersReady(int anchor, int64_t at, const BlockSpan& span) const {
    const uint32_t generation = slots_[anchor].generation.load(std::memory_order_relaxed);
    for (const Slot& f : slots_) {
        if (f.state.load(std::memory_order_acquire) != Active || f.begun ||
            f.startKind.load(std::memory_order_acquire) != VoiceStart::AfterAnchor ||
            f.anchor != anchor || f.anchorGeneration != generation)
            continue;
        const Stream& st = *f.stream;
        const int64_t needed = span.horizon - (at + f.anchorOffset);
        if (needed > 0 && st.ring.available() < needed &&
            !st.finished.load(std::memory_order_acquire))
            return false;
    }
    return true;
}

int Mixer::beginOffset(int index, const BlockSpan& span) {
    Slot& s = slots_[index];
    const int64_t blockStart = span.start;
    int kind = s.startKind.load(std::memory_order_acquire);
    int64_t at = s.startFrame.load(std::memory_order_relaxed);
    if (kind == VoiceStart::Held) return -1;
    if (kind == VoiceStart::AfterAnchor) {
        bool gone = false;
        if (const auto a = anchorBegun(s, &gone)) {
            at = *a + s.anchorOffset;
            kind = VoiceStart::AtFrame;
        } else if (gone) {
            kind = VoiceStart::WhenReady;  // nothing to keep in step with: as soon as possible
        } else {
            return -1;
        }
    }
    if (kind == VoiceStart::WhenReady) at = std::max(blockStart, span.earliest);
    if (at >= blockStart + kBlockFrames) return -1;
    // A voice that begins when it can waits until its ring holds every frame up to the horizon;
    // one placed at a frame keeps its place (a ring still empty there is an underrun).
    const Stream& st = *s.stream;
    if (kind == VoiceStart::WhenReady && st.ring.available() < span.horizon - at &&
        !st.finished.load(std::memory_order_acquire))
        return -1;
    // Nor before the voices that begin in step with it have theirs: they keep their place
    // after it, so one not ready would begin in an underrun, its first frames lost.
    if (kind == VoiceStart::WhenReady && !followersReady(index, at, span)) return -1;
    s.begun = true;
    s.begunAt.store(at, std::memory_order_release);
    // A late start keeps time: the frames it should already have played are skipped.
    s.owed = std::max<int64_t>(blockStart - at, 0);
    s.framesPlayed.store(s.owed, std::memory_order_release);
    s.gain = s.targetGain.load(std::memory_order_relaxed);
    if (s.owed > 0) s.fadeIn = true;
    return static_cast<int>(std::max<int64_t>(at - blockStart, 0));
}

bool Mixer::renderBlock(float* out, const BlockSpan& span) {
    std::fill(out, out + kBlockFrames * 2, 0.0f);
    const int64_t blockStart = span.start;
    // Voices that begin by themselves first, so a voice started after one of them in this very
    // block finds its first frame.
    int offsets[kMaxVoices];
    std::fill(std::begin(offsets), std::end(offsets), -1);
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < kMaxVoices; ++i) {
            Slot& s = slots_[i];
            if (offsets[i] >= 0 || s.state.load(std::memory_order_acquire) != Active) continue;
            if (s.begun) {
                offsets[i] = 0;
                continue;
            }
            const bool anchored =
                s.startKind.load(std::memory_order_relaxed) == VoiceStart::AfterAnchor;
            if (anchored != (pass == 1)) continue;
            if (s.stopRequested.load(std::memory_order_acquire)) {
                s.state.store(Done, std::memory_order_release);  // never heard: nothing to fade
                continue;
            }
            offsets[i] = beginOffset(i, span);
        }
    }
    bool sounded = false;
    for (int i = 0; i < kMaxVoices; ++i) {
        if (offsets[i] < 0) continue;
        mixVoice(slots_[i], out, offsets[i], blockStart);
        sounded = true;
    }
    if (sounded) heardUntil_ = blockStart + kBlockFrames;
    return sounded;
}

void Mixer::mixVoice(Slot& s, float* out, int offset, int64_t blockStart) {
    Stream& st = *s.stream;
    const int frames = kBlockFrames - offset;
    const bool stopping = s.stopRequested.load(std::memory_order_acquire) &&
                          s.stopAt.load(std::memory_order_relaxed) < blockStart + kBlockFrames;
    const float target = stopping ? 0.0f : s.targetGain.load(std::memory_order_relaxed);
    // Read "finished" before the ring: every frame was written before it was set.
    const bool finished = st.finished.load(std::memory_order_acquire);
    if (s.owed > 0) {
        s.owed -= st.ring.discard(s.owed);
        // Caught up: the sound comes back rising, as a start inside the media does.
        if (s.owed == 0) {
            s.fadeIn = true;
            s.fadeInDone = 0;
        }
    }
    // The media frame of the first frame read now: every frame since the start has passed,
    // except those still owed.
    const int64_t media = s.mediaStart + s.framesPlayed.load(std::memory_order_relaxed) - s.owed;
    readEnvelope(s);
    int n = 0;
    if (s.owed == 0 && !(stopping && s.gain == 0.0f)) n = st.ring.read(scratch_.data(), frames);
    // The volume moves linearly over one block, also on a partial block (an underrun); a voice
    // that fades in rises over one block of its own frames on top of that. A voice with an
    // envelope follows it frame by frame instead, and a stop ramps that down over the block.
    const float g0 = s.gain, step = (target - g0) / kBlockFrames;
    float* o = out + static_cast<size_t>(offset) * 2;
    float last = s.hasEnvelope ? s.gain : target;
    const int64_t silentFrom = s.silentFrom.load(std::memory_order_relaxed);
    for (int i = 0; i < n; ++i) {
        float g = g0 == target ? target : g0 + step * static_cast<float>(i + 1);
        if (s.hasEnvelope) {
            last = s.envelope.gain(media + i, last);
            g = stopping ? last * (1.0f - static_cast<float>(i + 1) / kBlockFrames) : last;
        }
        if (s.fadeIn && s.fadeInDone + i < kBlockFrames)
            g *= static_cast<float>(s.fadeInDone + i + 1) / kBlockFrames;
        // Down to silence over a short ramp that ends at that frame, so nothing of it is heard
        // with what replaces it, and nothing clicks.
        if (const int64_t left = silentFrom - (blockStart + offset + i); left < kSilenceRamp)
            g *= left > 0 ? static_cast<float>(left) / kSilenceRamp : 0.0f;
        o[2 * i] += scratch_[2 * i] * g;
        o[2 * i + 1] += scratch_[2 * i + 1] * g;
    }
    s.gain = s.hasEnvelope && !stopping ? last : target;
    if (s.fadeIn) s.fadeInDone = std::min(s.fadeInDone + frames, kBlockFrames);
    if (n > 0 && !s.sounded.load(std::memory_order_relaxed)) {
        s.firstSoundNs.store(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                 std::chrono::steady_clock::now().time_since_epoch())
                                 .count(),
                             std::memory_order_relaxed);
        s.sounded.store(true, std::memory_order_release);
    }
    if (stopping) {
        s.framesPlayed.fetch_add(n, std::memory_order_release);
        s.state.store(Done, std::memory_order_release);
    } else if (n < frames && finished && st.ring.available() == 0) {
        // The media ended, perhaps while the voice was still catching up: the cursor stops at
        // the last frame there was.
        s.framesPlayed.fetch_add(n - s.owed, std::memory_order_release);
        s.owed = 0;
        s.playedOut.store(true, std::memory_order_release);
        s.state.store(Done, std::memory_order_release);
    } else {
        // A short read is an underrun: silence now, and the voice keeps time, skipping the
        // missed frames once the decoder has caught up.
        s.owed += frames - n;
        s.framesPlayed.fetch_add(frames, std::memory_order_release);
    }
}

}  // namespace media
