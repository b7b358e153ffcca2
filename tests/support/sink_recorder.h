#pragma once
// A sink's monitor recorded through the private sound server (48 kHz interleaved stereo float),
// for the end-to-end sound tests and benchmarks.

#include <QString>
#include <vector>

#include "support/child_process.h"

namespace testsupport {

class SinkRecorder {
  public:
    explicit SinkRecorder(const QString& monitor);
    // Once `frames` are recorded (connecting takes a moment, more on a loaded machine).
    bool waitForFrames(qint64 frames = 1);
    qint64 frames() const { return parec_.outputSize() / 8; }
    std::vector<float> samples() const;
    // Everything recorded, once `tail` seconds more have come (what the server had queued).
    std::vector<float> stop(double tail = 0);

  private:
    ChildProcess parec_;
};

double rmsOf(const std::vector<float>& samples);

}  // namespace testsupport
