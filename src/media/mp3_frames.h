#pragma once
// Where the frames of an MP3 file lie. Walking the frame headers once, when the file is
// measured, gives the exact frame count of a file without a header and the byte offset of every
// few frames, so playback can start anywhere in a long file without reading it from the start.

#include <QString>
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
    int skipSamples = 0;           // decoded samples that come before the media's time 0
    bool tagCountsFrames = false;  // the tag gives the frame count (so the end is trimmed)
    bool hasTag = false;           // the first frame is an information tag, not sound
    std::vector<int64_t> offsets;  // offsets[i]: byte offset of sound frame i * kStride

    // Samples a decode from the start gives: the frames less the encoder's delay and padding
    // that the decoder trims.
    int64_t decodedSamples() const;

    // Byte offset of the kept frame at or before `frame`, and that frame's number.
    int64_t offsetBefore(int64_t frame, int64_t* keptFrame) const;
};

using Mp3FrameIndexRef = std::shared_ptr<const Mp3FrameIndex>;

// Walks every frame of an MP3 file; nullptr when it is not a plain layer III stream that can be
// walked (free-format bit rate, a change of sample rate, nothing found, unreadable).
Mp3FrameIndexRef indexMp3Frames(const QString& path);

}  // namespace media
