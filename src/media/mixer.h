#pragma once
// One mixer per output device. The UI thread hands it voices through atomics in a fixed table
// of slots; the device's thread calls render(), which never blocks, allocates or locks.
//
// Slot life: Free -(UI)-> Active -(mixer)-> Done -(UI)-> Free. Only the UI thread fills and
// frees slots, only the mixer ends them, so each side owns a slot in turn.

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

#include "media/decoder.h"
#include "media/ring_buffer.h"

namespace media {

// What a decoder worker fills for one voice, about half a second ahead of the mixer.
struct Stream {
    explicit Stream(int capacityFrames) : ring(capacityFrames) {}
    FrameRing ring;
    AudioDecoder decoder;  // worker thread only
    QString path;          // worker thread only (opened there)
    int streamIndex = -1;
    double startSeconds = 0;
    int64_t endFrame = -1;
    std::atomic<bool> opened{false};     // worker has opened and positioned the decoder
    std::atomic<bool> finished{false};   // no more frames will come (end or failure)
    std::atomic<bool> cancelled{false};  // the voice is gone; the worker drops the stream
    std::atomic<bool> busy{false};       // a worker is decoding it right now
};

constexpr int kBlockFrames = 480;  // 10 ms at 48 kHz: the ramp length and render granularity
constexpr int kMaxVoices = 32;

class Mixer {
  public:
    enum SlotState : int { Free, Active, Done };

    struct Slot {
        std::atomic<int> state{Free};
        Stream* stream = nullptr;             // kept alive by the UI side while not Free
        std::atomic<float> targetGain{1.0f};  // written by the UI
        std::atomic<bool> stopRequested{false};
        std::atomic<int64_t> framesPlayed{0};  // frames taken from the stream: the mix cursor
        std::atomic<bool> playedOut{false};    // ended because the stream ran out
        std::atomic<bool> sounded{false};      // at least one frame has been mixed
        std::atomic<int64_t> firstSoundNs{0};  // steady clock when that happened
        float gain = 0;                        // mixer thread only
        bool begun = false;                    // mixer thread only
    };

    Mixer();

    // UI thread: takes a free slot for a stream, or -1 when all slots are in use.
    int addVoice(Stream* stream, float gain);
    Slot& slot(int i) { return slots_[i]; }

    // Device thread: mixes `frames` (a multiple of kBlockFrames) interleaved stereo frames.
    void render(float* out, int frames);

    // Frames rendered so far; the device clock.
    int64_t renderedFrames() const { return rendered_.load(std::memory_order_acquire); }
    bool anyActive() const;

  private:
    void renderBlock(float* out);
    std::array<Slot, kMaxVoices> slots_;
    std::array<float, kBlockFrames * 2> scratch_{};
    std::atomic<int64_t> rendered_{0};
};

}  // namespace media
