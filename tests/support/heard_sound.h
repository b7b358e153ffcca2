#pragma once
// What a listener hears: a recording of a sink's monitor (48 kHz interleaved stereo float) found,
// stretch by stretch, in the decoded sources of the noise clips sounding on it (lane 1 in the left
// channel, lane 2 in the right). Noise matches itself in one place only, so a start heard twice, a
// lost frame or a lane out of step by frames shows, where an onset detector sees one onset.

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

namespace testsupport {

struct HeardClip {
    QString name;
    const std::vector<float>* source = nullptr;  // its file as decodeAll gives it
    int64_t placeFrame = 0;  // where the file's first frame stands on the timeline, at 48 kHz
};

// What a listener would find wrong when the head started at `startFrame` of the timeline: a clip
// never heard, beginning elsewhere than at its first frame (or where the head stood in it), heard
// again, frames of it lost or silence within it, or clips off their places relative to each other
// by more than a frame. Empty when every clip is heard once, whole and in step.
QString faultsHeard(const std::vector<float>& recording,
                    const std::array<std::vector<HeardClip>, 2>& lanes, int64_t startFrame);

}  // namespace testsupport
