// Lanes in step. On the private sound server's main sink: a clip on lane 2 that begins while
// lane 1 sounds, placed so their clicks fall together, measured over 10 runs (budget: median and
// worst run within 2 ms). Over the null output: every clip's clicks where the exported movie
// has them (budget: within 1 ms). Exits non-zero when a figure misses its budget. Needs
// scripts/audio-server start.
#include <QApplication>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "bench_main.h"
#include "media/media.h"
#include "support/app_fixture.h"
#include "support/lane_clicks.h"
#include "support/null_output.h"

namespace {

using testsupport::freshWindow;

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void BM_LaneOffsetOnTheSink(benchmark::State& state) {
    if (!testsupport::audioServerRunning()) {
        state.SkipWithError("no audio server (scripts/audio-server start)");
        return;
    }
    media::testing::useRealOutput();
    std::vector<double> runs;  // the worst click of each run
    for (auto _ : state) {
        QString problem;
        const std::vector<double> offsets =
            testsupport::laneOffsetsOnSink(*freshWindow(), &problem);
        if (offsets.empty()) {
            state.SkipWithError(problem.toUtf8().constData());
            return;
        }
        double worst = 0;
        for (double o : offsets) worst = std::max(worst, std::fabs(o));
        runs.push_back(worst);
        state.SetIterationTime(worst);
    }
    const double med = median(runs), max = *std::max_element(runs.begin(), runs.end());
    state.counters["median_ms"] = med * 1000;
    state.counters["max_ms"] = max * 1000;
}
BENCHMARK(BM_LaneOffsetOnTheSink)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

void BM_PlaybackVersusExport(benchmark::State& state) {
    media::testing::useNullOutput({"main", "preview"});
    for (auto _ : state) {
        const testsupport::PlayedAndExported mix =
            testsupport::playAndExportClickMix(*freshWindow());
        if (!mix.problem.isEmpty()) {
            state.SkipWithError(mix.problem.toUtf8().constData());
            return;
        }
        std::vector<double> all;
        for (int lane = 0; lane < 2; ++lane)
            for (size_t i = 0; i < std::min(mix.played[lane].size(), mix.exported[lane].size());
                 ++i)
                all.push_back(std::fabs(mix.played[lane][i] - mix.exported[lane][i]));
        const double worst = testsupport::worstPlayedVersusExported(mix);
        state.SetIterationTime(std::isfinite(worst) ? worst : 1.0);
        state.counters["clicks"] = static_cast<double>(all.size());
        state.counters["median_ms"] = median(all) * 1000;
        state.counters["max_ms"] = worst * 1000;
    }
}
BENCHMARK(BM_PlaybackVersusExport)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    testsupport::pointAtAudioServer();
    return runBenchmarks(
        argc, argv, BenchApp::Widgets,
        {{"BM_LaneOffsetOnTheSink", "max_ms", 2}, {"BM_PlaybackVersusExport", "max_ms", 1}});
}
