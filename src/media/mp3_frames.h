#pragma once
// Where the frames of an MP3 file lie. A file whose information tag (Xing, Info, VBRI) fits it is
// measured from that tag; walking the frame headers gives the exact frame count of a file
// without one (or with one that no longer fits) and the byte offset of every few frames, so
// playback can start anywhere in a long file without reading it from the start.

#include <QString>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

namespace media {

// One MPEG-1/2/2.5 layer III frame header; bytes == 0 when the four bytes are not one.
struct Mp3Header {
    int bytes = 0;    // the whole frame, header included
    int rate = 0;     // samples per second
    int samples = 0;  // per frame: 1152 or 576
    bool mono = false;
    bool mpeg1 = false;
};
Mp3Header parseMp3Header(const uint8_t* p);

// Offset in buf of the first frame header that the next frame's header follows at once (and, when
// `like` is given, of the same version and sample rate), or -1. A lone false sync in junk or in a
// tag does not count.
int64_t findMp3Sync(const uint8_t* buf, int64_t size, const Mp3Header* like = nullptr);

struct Mp3FrameIndex {
    static constexpr int kStride = 16;  // frames between two kept offsets

    int rate = 0;
    int samplesPerFrame = 0;
    int64_t frames = 0;    // sound frames (a leading tag frame is not one)
    int64_t end = 0;       // byte offset just after the last sound frame
    int64_t fileSize = 0;  // to notice a file that changed since
    // From the encoder's tag: its delay and padding, which a decode trims at both ends.
    int encoderDelay = 0;
    int endPadding = 0;
    int skipSamples = 0;  // decoded samples that come before the media's time 0
    // The frame count of the tag by which the demuxer trims the encoder's padding at the end; 0
    // when it trims nothing. A file cut short keeps the count of its whole.
    int64_t tagFrames = 0;
    bool hasTag = false;  // the first frame is an information tag, not sound
    // Bytes that are no frame lie between frames (damage, or files joined): a decoder drops or
    // loses frames there that the walk counts, so the count is no exact length.
    bool damaged = false;
    std::vector<int64_t> offsets;  // offsets[i]: byte offset of sound frame i * kStride; empty
                                   // when measured from the tag

    // Samples a decode from the start gives: the frames less the encoder's delay and padding
    // that the decoder trims.
    int64_t decodedSamples() const;

    // Byte offset of the kept frame at or before `frame`, and that frame's number.
    int64_t offsetBefore(int64_t frame, int64_t* keptFrame) const;
};

using Mp3FrameIndexRef = std::shared_ptr<const Mp3FrameIndex>;

// Bytes of the ID3v2 tags at the start of a file (pictures may make them large); 0 when there
// are none.
int64_t leadingTagBytes(const QString& path);

// Walks every frame of an MP3 file; nullptr when it is not a plain layer III stream that can be
// walked (free-format bit rate, a change of sample rate or layer III version anywhere in it, as
// in two files joined, nothing found, unreadable).
Mp3FrameIndexRef indexMp3Frames(const QString& path);

// Measures an MP3 file from its information tag, reading only its first frame and its last few
// KB: the tag must give both the frame and the byte count, and the stream must end just where
// the byte count says. nullptr when the tag does not fit the file (a file cut short or grown) or
// there is none: its frames must be walked. The result has no frame offsets.
Mp3FrameIndexRef measureMp3ByTag(const QString& path);

// The frame index of one file, filled in once by a worker when the file's frames are walked;
// every movie and decoder of the file shares it. Any thread, without a lock: the index is
// published once (a flag released after it is stored) and never replaced, so readers copy a
// pointer that no longer changes. (std::atomic<std::shared_ptr> would do the same, but its lock
// bit inside the pointer hides the ordering from ThreadSanitizer.)
class Mp3FrameIndexSlot {
  public:
    Mp3FrameIndexSlot() = default;  // for an index given, never walked
    // For the file at path, whose frames may be walked once; the index must have this rate.
    Mp3FrameIndexSlot(QString path, int rate) : path_(std::move(path)), rate_(rate) {}
    const QString& path() const { return path_; }
    int rate() const { return rate_; }
    // Where the walk of the file stands. It moves only forward, each step taken by one caller.
    enum class Walk { NotAsked, Queued, Walking, Done };
    Walk walk() const { return walk_.load(std::memory_order_acquire); }
    // True for the one caller that moves the walk from `from` to `to`; never for a slot without a
    // file, whose index is given, never walked.
    bool moveWalk(Walk from, Walk to) {
        return !path_.isEmpty() &&
               walk_.compare_exchange_strong(from, to, std::memory_order_acq_rel);
    }

    Mp3FrameIndexRef get() const {
        return ready_.load(std::memory_order_acquire) ? index_ : nullptr;
    }
    // The first index stays; a later one (a second walk of the same file) is dropped.
    void set(Mp3FrameIndexRef index) {
        if (!index || claimed_.exchange(true, std::memory_order_acq_rel)) return;
        index_ = std::move(index);
        ready_.store(true, std::memory_order_release);
    }

    // The length a decode of the whole file gave (mixer frames), for a file whose frames tell no
    // exact length, so that it is decoded once however many clips name it; -1 until then.
    int64_t decodedFrames() const { return decodedFrames_.load(std::memory_order_acquire); }
    void setDecodedFrames(int64_t frames) {
        decodedFrames_.store(frames, std::memory_order_release);
    }

  private:
    const QString path_;
    const int rate_ = 0;
    std::atomic<Walk> walk_{Walk::NotAsked};
    std::atomic<bool> claimed_{false};
    std::atomic<bool> ready_{false};
    std::atomic<int64_t> decodedFrames_{-1};
    Mp3FrameIndexRef index_;
};

using Mp3FrameIndexSlotRef = std::shared_ptr<Mp3FrameIndexSlot>;

}  // namespace media
