#pragma once
// What a listener hears: a recording of a sink's monitor (48 kHz interleaved stereo float) found,
// stretch by stretch, in the decoded sources of the clips that sound on it. The clips are noise
// (Signal::NoiseLeft for lane 1, NoiseRight for lane 2), so each stretch of sound matches exactly
// one place of one source: a start heard twice, a lost frame or a lane out of step by one frame
// shows, where an onset detector sees one onset.

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

namespace testsupport {

// A clip as the listener should hear it on its lane's channel.
struct HeardClip {
    QString name;
    const std::vector<float>* source = nullptr;  // its file as decodeAll gives it
    int64_t placeFrame = 0;  // where the file's first frame stands on the timeline, at 48 kHz
    int64_t firstFrame = 0;  // the frame of the file its sound begins with (its start offset)
};

// A stretch of one channel of the recording found in one clip's source.
struct HeardStretch {
    int clip = 0;  // among the lane's clips
    int64_t recorded = 0;
    int64_t frames = 0;
    int64_t source = 0;  // the source frame heard at `recorded`
};

// The stretches of sound on the channel (0 left, 1 right), in recorded order: each 5 ms block
// found in a source by normalized correlation (its shape, so gains and ramps keep it), blocks in
// line with each other joined, each stretch's first frame exact. Sound found nowhere (two clips
// mixed while one fades out) is left out.
std::vector<HeardStretch> locateHeard(const std::vector<float>& recording, int channel,
                                      const std::vector<HeardClip>& clips);

// What a listener would find wrong with the lanes' clips (lane 1 on the left channel): a clip
// never heard, beginning elsewhere than at its first frame, heard twice, frames of it lost or
// silence within it, or clips off their places on the timeline relative to each other by more
// than one frame. Empty when every clip is heard once, whole and in step.
QString faultsHeard(const std::vector<float>& recording,
                    const std::array<std::vector<HeardClip>, 2>& lanes);

}  // namespace testsupport
