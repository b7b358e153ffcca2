#pragma once
// Decodes one sound track of a file into the mixer's format (48 kHz, interleaved stereo float),
// starting at any sample: after a seek it decodes from a little earlier and discards up to the
// exact sample, so a start position is sample-exact whatever the codec's frame size.

#include <QString>
#include <cstdint>
#include <vector>

#include "media/ffmpeg_util.h"
#include "media/mp3_frames.h"

namespace media {

constexpr int kMixRate = 48000;
constexpr int kMixChannels = 2;

class AudioDecoder {
  public:
    AudioDecoder() = default;
    AudioDecoder(AudioDecoder&&) = default;
    AudioDecoder& operator=(AudioDecoder&&) = default;

    // Opens the file's stream with the given index (an audio stream). False with *error set.
    bool open(const QString& path, int streamIndex, QString* error = nullptr);
    bool isOpen() const { return codec_ != nullptr; }

    // Where the frames of an MP3 file lie (from measuring it): seeks start near the target
    // instead of reading the file from its start. Ignored for other files. A slot still empty is
    // looked at again at each seek, so an index made meanwhile is used once ready.
    void setFrameIndex(Mp3FrameIndexSlotRef slot) { indexSlot_ = std::move(slot); }
    void setFrameIndex(Mp3FrameIndexRef index) {
        indexSlot_ = std::make_shared<Mp3FrameIndexSlot>();
        indexSlot_->set(std::move(index));
    }

    // Positions the decoder so that the next frame read is the mixer frame at `seconds` of a
    // decode from the start (0 = its first frame), whatever the source's sample rate. A place far
    // into an MP3 has the file's frames walked first, here or on the thread already walking them.
    bool seek(double seconds);
    // Whether seek(seconds) would wait for such a walk; if so, the walk is put first in the walk
    // worker's line, so that the caller may do other work meanwhile (see setFramesWalkedBell).
    bool seekWaitsForFrameWalk(double seconds);

    // Reads up to maxFrames stereo frames into dst; returns the number read, 0 at the end.
    int read(float* dst, int maxFrames);
    // Nothing is read past this many output frames (the end trimming some containers leave to
    // the player); negative = no limit.
    void setEndFrame(int64_t frames) { endFrame_ = frames; }
    bool atEnd() const {
        return (endFrame_ >= 0 && outPos_ >= endFrame_) || (ended_ && pendingFrames() == 0);
    }

    // Source sample rate, for exact sample counts in the source's own units.
    int sourceRate() const;
    // The rate samples are read at (the mixer's unless set before open); kept across seeks.
    void setOutputRate(int rate) { outRate_ = rate > 0 ? rate : kMixRate; }
    int outputRate() const { return outRate_; }

  private:
    bool decodeMore();  // decodes the next frame into pending_; false at the end or on error
    void resampleFrame(const AVFrame* f, int skip, int n);
    void compactPending();
    void dropEarlyFrames();
    int pendingFrames() const {
        return static_cast<int>(pending_.size() / kMixChannels) - pendingPos_;
    }
    int64_t frameStartSample(const AVFrame* f);  // in source samples from the media origin
    // Where a seek starts: the output frame it reaches, the first source sample the resampler
    // gets, where decoding starts before it, and the frames resampled early that are dropped.
    struct SeekPlan {
        int64_t target = 0, sample = 0, from = 0, dropOut = 0;
    };
    SeekPlan planSeek(double seconds) const;
    bool wantsFrameIndexAt(int64_t sample) const;
    bool seekByIndex(int64_t sample);  // MP3 with an index; false when it cannot
    bool sendIndexedFrame();           // feeds the next MP3 frame; false at the end

    QString path_;
    int64_t outPos_ = 0;  // output frames read so far, from the media's start
    int64_t endFrame_ = -1;
    int outRate_ = kMixRate;
    ff::FormatPtr fmt_;
    ff::CodecPtr codec_;
    ff::SwrPtr swr_;
    ff::PacketPtr pkt_;
    ff::FramePtr frame_;
    int stream_ = -1;
    AVRational tb_{1, 1};
    int64_t originPts_ = 0;          // pts of the first sample of a decode from the start
    int64_t discardUntil_ = 0;       // source samples before this one are dropped after a seek
    int64_t dropOut_ = 0;            // resampled frames still to drop after a seek
    int64_t sourceEnd_ = INT64_MAX;  // source samples from this one on are dropped
    int64_t nextSample_ = 0;         // source position after the last frame, when pts is missing
    bool ended_ = false;
    bool draining_ = false;
    std::vector<float> pending_;  // resampled, not yet read
    int pendingPos_ = 0;          // frames of pending_ already read
    int swrInRate_ = 0;
    int swrInChannels_ = 0;
    uint64_t swrInMask_ = 0;
    int swrInFormat_ = -1;
    Mp3FrameIndexSlotRef indexSlot_;
    Mp3FrameIndexRef index_;     // the slot's index when the last seek looked
    bool byIndex_ = false;       // frames come from the index's offsets, not the demuxer
    int64_t indexFrame_ = 0;     // the next frame to feed
    int64_t indexOffset_ = 0;    // its byte offset
    std::vector<uint8_t> sync_;  // scratch for finding the next frame after damage
};

}  // namespace media
