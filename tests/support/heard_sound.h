#pragma once
// What a listener hears: a sink's monitor recorded through the private sound server (48 kHz
// interleaved stereo float), and found, stretch by stretch, in the decoded sources of the noise
// clips sounding on it (lane 1 in the left channel, lane 2 in the right). Noise matches itself in
// one place only, so a start heard twice, a lost frame or a lane out of step by frames shows, where
// an onset detector sees one onset.

#include <QString>
#include <QTest>
#include <array>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <span>
#include <vector>

#include "support/child_process.h"

namespace testsupport {

class SinkRecorder {
  public:
    explicit SinkRecorder(const QString& monitor) {
        parec_.start("parec", {"-d", monitor, "--format=float32le", "--rate=48000", "--channels=2",
                               "--raw", "--latency-msec=10"});
    }
    // Once `frames` are recorded (connecting takes a moment, more on a loaded machine).
    bool waitForFrames(qint64 frames = 1) {
        return parec_.started() && QTest::qWaitFor([&] { return this->frames() >= frames; }, 10000);
    }
    qint64 frames() const { return parec_.outputSize() / 8; }
    std::vector<float> samples() const {
        const QByteArray data = parec_.readAllStandardOutput();
        const auto* f = reinterpret_cast<const float*>(data.constData());
        return std::vector<float>(f, f + data.size() / 8 * 2);
    }
    // Everything recorded, once `tail` seconds more have come (what the server had queued).
    std::vector<float> stop(double tail = 0) {
        static_cast<void>(waitForFrames(frames() + qint64(tail * 48000)));
        parec_.terminate();
        parec_.waitForFinished(3000);
        return samples();
    }

  private:
    ChildProcess parec_;
};

inline double rmsOf(std::span<const float> samples) {
    const double sum = std::inner_product(samples.begin(), samples.end(), samples.begin(), 0.0);
    return samples.empty() ? 0 : std::sqrt(sum / samples.size());
}

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
