#pragma once
// A sink's monitor recorded through the private sound server (48 kHz interleaved stereo float).

#include <QTest>
#include <cmath>
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

inline double rmsOf(const std::vector<float>& samples) {
    double sum = 0;
    for (float s : samples) sum += double(s) * s;
    return samples.empty() ? 0 : std::sqrt(sum / samples.size());
}

}  // namespace testsupport
