#include "support/sink_recorder.h"

#include <QTest>
#include <cmath>

namespace testsupport {

SinkRecorder::SinkRecorder(const QString& monitor) {
    parec_.start("parec", {"-d", monitor, "--format=float32le", "--rate=48000", "--channels=2",
                           "--raw", "--latency-msec=10"});
}

bool SinkRecorder::waitForFrames(qint64 frames) {
    return parec_.started() && QTest::qWaitFor([&] { return this->frames() >= frames; }, 10000);
}

std::vector<float> SinkRecorder::samples() const {
    const QByteArray data = parec_.readAllStandardOutput();
    const auto* f = reinterpret_cast<const float*>(data.constData());
    return std::vector<float>(f, f + data.size() / 8 * 2);
}

std::vector<float> SinkRecorder::stop(double tail) {
    static_cast<void>(waitForFrames(frames() + qint64(tail * 48000)));
    parec_.terminate();
    parec_.waitForFinished(3000);
    return samples();
}

double rmsOf(const std::vector<float>& samples) {
    double sum = 0;
    for (float s : samples) sum += double(s) * s;
    return samples.empty() ? 0 : std::sqrt(sum / samples.size());
}

}  // namespace testsupport
