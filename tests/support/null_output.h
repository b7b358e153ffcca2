#pragma once
// The null sound output: devices that sound nowhere, driven by a virtual clock. Nothing plays in
// real time: advance() renders every device, and what each device played is kept. Shared by the
// tests and the benchmarks.

#include <QByteArray>
#include <cstdint>
#include <vector>

namespace media::testing {

// Replaces every output by the null backend with the given devices (system ids; the first is
// the default). Call with no player sounding.
void useNullOutput(const std::vector<QByteArray>& systemIds);
// Back to the real outputs.
void useRealOutput();
// Null output: the system's devices change to these (the first is the default; none is no
// sound server). Devices that went away are lost as a real one is; ones that came back sound
// again after refreshOutputs().
void setNullDevices(const std::vector<QByteArray>& systemIds);

// Renders `frames` frames (rounded up to whole 10 ms blocks) on every device. With
// waitForDecoders, each block waits (up to a few seconds) until every sounding voice has its
// block decoded, so captures are deterministic.
void advance(int frames, bool waitForDecoders = true);

// Interleaved stereo samples captured so far for a device id (0 = the default device);
// kNowhere holds what tracks with an unavailable route played.
constexpr int32_t kNowhere = -1;
std::vector<float> captured(int32_t id);
void clearCaptured();

// Holds the decoder workers (to provoke underruns).
void pauseDecoding(bool paused);

}  // namespace media::testing
