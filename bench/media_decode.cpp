// Decoding throughput on one core, as a multiple of real time (budget: over 500x).
#include <vector>

#include "bench_main.h"
#include "media/decoder.h"
#include "support/media_gen.h"

using namespace testsupport;

static void decode(benchmark::State& state, MediaKind kind) {
    const double seconds = 60.0;
    const QString path = makeMedia({kind, seconds});
    std::vector<float> buf(4096 * 2);
    for (auto _ : state) {
        media::AudioDecoder d;
        if (!d.open(path, 0)) state.SkipWithError("open failed");
        while (d.read(buf.data(), 4096) > 0) {
        }
        benchmark::DoNotOptimize(buf.data());
    }
    state.counters["x_realtime"] =
        benchmark::Counter(seconds * state.iterations(), benchmark::Counter::kIsRate);
}

BENCHMARK_CAPTURE(decode, mp3, MediaKind::Mp3Cbr)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(decode, aac_m4a, MediaKind::M4a)->Unit(benchmark::kMillisecond);

VONTALIX_BENCH_MAIN(BenchApp::Plain, {"decode", "x_realtime", 500, Budget::AtLeast})
