// Mixer cost for 4 voices with volume ramps (budget: under 1 % of one core). One iteration is
// one 10 ms block; the refill of the rings (the decoders' side) is timed too.
#include <cmath>
#include <memory>
#include <vector>

#include "bench_main.h"
#include "media/mixer.h"

static void mix4(benchmark::State& state) {
    media::Mixer mixer;
    std::vector<std::unique_ptr<media::Stream>> streams;
    std::vector<float> tone(media::kBlockFrames * 2);
    for (size_t i = 0; i < tone.size(); ++i) tone[i] = 0.5f * std::sin(float(i) * 0.01f);
    for (int v = 0; v < 4; ++v) {
        streams.push_back(std::make_unique<media::Stream>(32768));
        streams.back()->ring.write(tone.data(), media::kBlockFrames);
        mixer.addVoice(streams.back().get(), 1.0f);
    }
    std::vector<float> out(media::kBlockFrames * 2);
    int n = 0;
    for (auto _ : state) {
        for (auto& s : streams) s->ring.write(tone.data(), media::kBlockFrames);
        // A volume change on every block keeps the ramps running.
        mixer.slot(n % 4).targetGain.store((n % 7) / 7.0f);
        mixer.render(out.data(), media::kBlockFrames);
        benchmark::DoNotOptimize(out.data());
        ++n;
    }
    // Share of one core: time per block over the block's 10 ms.
    state.counters["core_percent"] = benchmark::Counter(
        (media::kBlockFrames / double(media::kMixRate)) / 100.0,
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(mix4);

VONTALIX_BENCH_MAIN(BenchApp::Plain, {"mix4", "core_percent", 1})
