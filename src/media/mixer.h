#pragma once
// One mixer per output device. The UI thread hands it voices through atomics in a fixed table
// of slots; the device's thread calls render(), which never blocks, allocates or locks.
//
// Slot life: Free -(UI)-> Active -(mixer)-> Done -(UI)-> Free. Only the UI thread fills and
// frees slots, only the mixer ends them, so each side owns a slot in turn.
//
// A voice begins at an exact frame of the device clock (renderedFrames()), mid-block if need
// be: when its ring is ready, at a given frame, or a given number of frames after another voice
// of this mixer began (so two lanes sound in step). From then on it keeps time: a ring that runs
// dry sounds silence for the missing span and the voice goes on where it should be.

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>

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
    // The file as the worker found it when it opened it (size and modification time, in
    // nanoseconds), so a start prepared from it can tell whether the file changed since; -1
    // until it is opened.
    std::atomic<int64_t> fileSize{-1};
    std::atomic<int64_t> fileModified{-1};
};

// A clip's volume over its media: silent up to its in point, rising linearly to full at the
// end of its fade-in, full to the start of its fade-out, falling linearly to silence at its out
// point, silent after. Media frames from the file's start (at kMixRate).
struct Envelope {
    int64_t in = 0, fadeInEnd = 0, fadeOutStart = 0, out = 0;
    bool operator==(const Envelope&) const = default;
    // The gain at media frame m, as the volume rules give it (each rule that holds overrides
    // the ones before); `otherwise` where none holds (fields out of order).
    float gain(int64_t m, float otherwise) const;
};

constexpr int kBlockFrames = 480;  // 10 ms at 48 kHz: the ramp length and render granularity
constexpr int kMaxVoices = 32;

// Where a voice begins on its device's clock (the mixer's rendered frames).
struct VoiceStart {
    enum Kind : int {
        WhenReady,   // as soon as its ring holds a block (or the stream ended)
        Held,        // prepared, not yet allowed to sound; released later to WhenReady or a frame
        AtFrame,     // exactly at `frame`, mid-block if need be
        AfterAnchor  // `offset` frames after the first frame of the voice in slot `anchor`
    };
    Kind kind = WhenReady;
    int64_t frame = 0;
    int anchor = -1;
    uint32_t anchorGeneration = 0;
    int64_t offset = 0;
    // Rises from silence over one ramp instead of starting at full volume: a start in the middle
    // of the media would otherwise click.
    bool fadeIn = false;
};

class Mixer {
  public:
    enum SlotState : int { Free, Active, Done };
    static constexpr int64_t kNotBegun = -1;

    struct Slot {
        std::atomic<int> state{Free};
        // Bumped each time the slot is taken, so a voice that starts after another can tell
        // whether the slot still holds that voice.
        std::atomic<uint32_t> generation{0};
        Stream* stream = nullptr;             // kept alive by the UI side while not Free
        std::atomic<float> targetGain{1.0f};  // written by the UI
        std::atomic<bool> stopRequested{false};
        // A stop takes effect in the block holding this frame (0: at once): a voice that another
        // replaces at a frame still to come sounds until then.
        std::atomic<int64_t> stopAt{0};
        // From this device frame on the voice is silent (it keeps time): a start prepared to
        // replace it there, which the player may still let go of (then it is set back).
        std::atomic<int64_t> silentFrom{INT64_MAX};
        // The media frames that have passed since the voice began: the mix cursor. It keeps time
        // through an underrun (silence is heard, and the missed frames are skipped afterwards).
        std::atomic<int64_t> framesPlayed{0};
        std::atomic<bool> playedOut{false};       // ended because the stream ran out
        std::atomic<bool> sounded{false};         // at least one frame has been mixed
        std::atomic<int64_t> firstSoundNs{0};     // steady clock when that happened
        std::atomic<int64_t> begunAt{kNotBegun};  // device frame of the voice's first frame
        // UI: releases a Held start (to WhenReady, AtFrame or AfterAnchor); the mixer reads it
        // until begun.
        std::atomic<int> startKind{VoiceStart::WhenReady};
        std::atomic<int64_t> startFrame{0};
        // The clip's envelope, followed at every frame in place of targetGain once set, so that
        // in and out points and fades fall on their exact frame, not on the block after the
        // step that noticed them. The UI writes it under the version (odd while writing).
        std::atomic<uint32_t> envelopeVersion{0};
        std::atomic<bool> enveloped{false};
        std::atomic<int64_t> envelopeFrames[4]{};
        // Fixed while Active, except that releasing a Held start may set the anchor fields before
        // it publishes the new start kind (the mixer reads them only after it sees that kind).
        int anchor = -1;
        uint32_t anchorGeneration = 0;
        int64_t anchorOffset = 0;
        bool fadeIn = false;
        // Mixer thread only.
        float gain = 0;
        bool begun = false;
        int64_t owed = 0;    // frames missed in an underrun, skipped as soon as they come
        int fadeInDone = 0;  // frames of the fade-in ramp passed
        Envelope envelope;   // the last one read whole
        bool hasEnvelope = false;
        int64_t mediaStart = 0;  // the media frame the voice begins at
    };

    Mixer();

    // UI thread: takes a free slot for a stream, or -1 when all slots are in use. With an
    // envelope the voice follows it from its first frame.
    int addVoice(Stream* stream, float gain, const VoiceStart& start = {},
                 const Envelope* envelope = nullptr);
    // UI thread: the voice follows this envelope from the next block on.
    void setEnvelope(int slot, const Envelope& envelope);
    Slot& slot(int i) { return slots_[i]; }
    const Slot& slot(int i) const { return slots_[i]; }
    // UI thread: lets a Held voice begin as `start` says (WhenReady, AtFrame or AfterAnchor; its
    // fade-in stays as added); no effect once it has been released.
    void release(int slot, const VoiceStart& start);

    // Device thread: mixes `frames` (a multiple of kBlockFrames) interleaved stereo frames.
    void render(float* out, int frames);

    // Frames rendered so far; the device clock.
    int64_t renderedFrames() const { return rendered_.load(std::memory_order_acquire); }
    // A voice that sounds, may begin by itself, or was let go of and is still to be marked done;
    // one Held waits for the UI and keeps no device awake.
    bool anyActive() const;

    // Device thread. The rendered frames at the end that no voice sounded in, in whole blocks:
    // silence a device may still replace, if it has not played it yet.
    int quietTailFrames() const;
    // Device thread: a voice waits to begin as soon as it can, or at a frame already rendered.
    bool voiceWaitsToBegin() const;
    // Device thread: mixes again the frames from `from` (in the quiet tail) to the end, so that
    // waiting voices begin in them rather than after them: one placed at a frame at that frame,
    // one that begins as soon as it can at `from` or at a later block's start, once its ring
    // holds every frame up to the end (so it never runs dry on the way). The frames from the
    // first one with new sound to the end are written to `out` (at most the frames from the block
    // holding `from` to the end); returns how many (0: none began, nothing changed).
    int remix(float* out, int64_t from);

  private:
    // Where a block is mixed from: a voice that begins as soon as it can begins no earlier than
    // `earliest`, and only if its ring holds its frames up to `horizon`.
    struct BlockSpan {
        int64_t start, earliest, horizon;
    };
    // Mixes one block; true when a voice sounded in it.
    bool renderBlock(float* out, const BlockSpan& span);
    // Decides whether a voice that has not begun begins in the block; returns the frame of the
    // block it begins at, or -1.
    int beginOffset(int slot, const BlockSpan& span);
    // Whether every voice waiting to begin in step after the one in `anchor` (which would begin
    // at frame `at`) has its ring ready, as a voice that begins when it can must.
    bool followersReady(int anchor, int64_t at, const BlockSpan& span) const;
    // The first frame of the voice in another slot, while that slot still holds it.
    std::optional<int64_t> anchorBegun(const Slot& s, bool* anchorGone) const;
    void mixVoice(Slot& s, float* out, int offset, int64_t blockStart);
    // Mixer thread: takes the UI's envelope when it is not being written.
    static void readEnvelope(Slot& s);
    std::array<Slot, kMaxVoices> slots_;
    std::array<float, kBlockFrames * 2> scratch_{};
    std::atomic<int64_t> rendered_{0};
    int64_t heardUntil_ = 0;  // device thread: the end of the last block a voice sounded in
};

}  // namespace media
