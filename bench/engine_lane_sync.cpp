// Lanes in step. On the private sound server's main sink: a clip on lane 2 that begins while
// lane 1 sounds, placed so their clicks fall together, measured over 10 runs (budget: median and
// worst run within 2 ms). Over the null output: every clip's clicks where the exported movie
// has them (budget: within 1 ms). Exits non-zero when a figure misses its budget. Needs
// scripts/audio-server start.
#include <QApplication>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "bench_main.h"
#include "media/media.h"
#include "support/app_fixture.h"
#include "support/heard_sound.h"
#include "support/lane_clicks.h"
#include "support/media_gen.h"
#include "support/null_output.h"

namespace {

using testsupport::clickOnsets;
using testsupport::freshWindow;
using testsupport::laneOf;
using testsupport::makeMedia;
using testsupport::MediaKind;
using testsupport::partOf;
using testsupport::Signal;
using testsupport::SinkRecorder;

// A 6 s clip on lane 1 from 10 s and a 4 s clip on lane 2 from 12 s, the play head started inside
// lane 1's: records the main sink's monitor while the window's own timer plays and returns, for
// each click of lane 2, its distance to the nearest click of lane 1 on the sink, in seconds.
// Empty, with *problem set, when it could not measure.
std::vector<double> laneOffsetsOnSink(MainWindow& w, QString* problem) {
    DeckCommands& decks = partOf<DeckCommands>(w);
    auto fail = [&](const char* why) {
        *problem = QString::fromUtf8(why);
        if (decks.playDeck().running()) decks.play();
        return std::vector<double>();
    };
    const QString left = makeMedia({MediaKind::Mp3Cbr, 6.0, Signal::ClicksLeft});
    const QString right = makeMedia({MediaKind::Mp3Cbr, 4.0, Signal::ClicksRight});
    laneOf(w, 1)->addNewClip(10, {.name = "left", .path = left, .lengthPx = 6, .lane = 1});
    laneOf(w, 2)->addNewClip(12, {.name = "right", .path = right, .lengthPx = 4, .lane = 2});
    if (!media::testing::waitForClipMovies()) return fail("the clips' movies were not opened");
    decks.moveHeadTo(decks.playDeck(), 10.5);

    SinkRecorder rec("main.monitor");
    // Waits on conditions, with deadlines generous enough for a loaded machine.
    if (!rec.waitForFrames(4800)) return fail("the recorder records nothing");
    decks.play();
    // Four clicks of lane 2's clip, then the deck stops once the sink has played them.
    if (!QTest::qWaitFor(
            [&] {
                return decks.playDeck().players[1].rate() > 0 &&
                       decks.playDeck().players[1].position() > 1.8;
            },
            30000))
        return fail("lane 2's clip did not play");
    decks.play();
    std::vector<float> sound;
    const bool heard = QTest::qWaitFor(
        [&] {
            sound = rec.samples();
            return clickOnsets(sound, 1).size() >= 4;
        },
        10000);
    rec.stop();
    if (!heard) return fail("lane 2's clicks did not reach the sink");
    const std::vector<double> lane1 = clickOnsets(sound, 0);
    std::vector<double> offsets;
    for (double r : clickOnsets(sound, 1)) {
        double nearest = 1;
        for (double l : lane1)
            if (std::fabs(r - l) < std::fabs(nearest)) nearest = r - l;
        offsets.push_back(nearest);
    }
    return offsets;
}

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
        const std::vector<double> offsets = laneOffsetsOnSink(*freshWindow(), &problem);
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
