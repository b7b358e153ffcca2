// The deck tick: both decks running over a 500-clip mix (budget under 0.2 ms), the tick that
// starts clips (budget under 0.2 ms too), and a tick with both decks stopped (the last before its
// timer rests).
#include <QApplication>
#include <cstdlib>

#include "bench_main.h"
#include "media/media.h"
#include "shell/main_window.h"
#include "support/app_fixture.h"
#include "support/media_gen.h"
#include "support/null_output.h"

namespace {

using testsupport::freshWindow;

// 250 clips of 100 pixels on each lane, lane 2 shifted by half a clip, all of the same file.
void fillLanes(MainWindow* w, const QString& path) {
    for (int lane = 1; lane <= 2; ++lane) {
        for (int i = 0; i < 250; ++i) {
            const double left = i * 100.0 + (lane == 2 ? 50 : 0) - 12000;
            testsupport::laneOf(*w, lane)->addNewClip(left, {.name = "clip",
                                                             .path = path,
                                                             .lengthPx = 100,
                                                             .fadeInEnd = 10,
                                                             .fadeOutStart = 90,
                                                             .lane = lane});
        }
    }
    media::testing::waitForClipMovies();
}

void BM_TickBothDecksOver500Clips(benchmark::State& state) {
    media::testing::useNullOutput({"main", "preview"});
    const QString path = testsupport::makeMedia({testsupport::MediaKind::Mp3Cbr, 120.0});
    MainWindow* w = freshWindow();
    DeckCommands& decks = testsupport::partOf<DeckCommands>(*w);
    fillLanes(w, path);
    // Heads inside clips deep in the lanes, in the fade ramps so the fade route runs.
    decks.moveHeadTo(decks.playDeck(), 305);
    decks.moveHeadTo(decks.previewDeck(), 395);
    decks.play();
    decks.preview();
    decks.transport().tick();  // loads the four clips
    if (!decks.playDeck().current[0] || !decks.playDeck().current[1] ||
        !decks.previewDeck().current[0] || !decks.previewDeck().current[1]) {
        state.SkipWithError("the decks did not start their clips");
        return;
    }
    for (auto _ : state) decks.transport().tick();
    benchmark::DoNotOptimize(testsupport::controlOf<lanes::DeckView>(*w, "playDeckView")->headX());
    state.counters["clips"] = static_cast<double>(testsupport::laneOf(*w, 1)->clips.size() +
                                                  testsupport::laneOf(*w, 2)->clips.size());
    decks.play();
    decks.preview();
}
BENCHMARK(BM_TickBothDecksOver500Clips)->Unit(benchmark::kMicrosecond);

// The tick that starts clips: each iteration both decks reach new clips on both lanes (a VBR MP3
// without header, a CBR MP3, an M4A and a VBR MP3 with header), so four players get their movies
// and start their voices. The files were opened when the clips were made, on the worker.
void BM_TickThatStartsClips(benchmark::State& state) {
    using testsupport::MediaKind;
    media::testing::useNullOutput({"main", "preview"});
    const QString files[4] = {
        testsupport::makeMedia({MediaKind::Mp3VbrNoHeader, 300.0}),
        testsupport::makeMedia({MediaKind::Mp3Cbr, 300.0}),
        testsupport::makeMedia({MediaKind::M4a, 300.0}),
        testsupport::makeMedia({MediaKind::Mp3Vbr, 300.0}),
    };
    MainWindow* w = freshWindow();
    DeckCommands& decks = testsupport::partOf<DeckCommands>(*w);
    for (int lane = 1; lane <= 2; ++lane)
        for (int i = 0; i < 250; ++i)
            testsupport::laneOf(*w, lane)->addNewClip(i * 100.0, {.name = "clip",
                                                                  .path = files[(i + 2 * lane) % 4],
                                                                  .lengthPx = 100,
                                                                  .fadeInEnd = 10,
                                                                  .fadeOutStart = 90,
                                                                  .lane = lane});
    if (!media::testing::waitForClipMovies()) {
        state.SkipWithError("the movies were not opened");
        return;
    }
    double at = 1005;
    for (auto _ : state) {
        state.PauseTiming();
        // Both decks stopped, their heads moved onto the next clips.
        if (decks.playDeck().running()) decks.play();
        if (decks.previewDeck().running()) decks.preview();
        at = at > 20000 ? 1005 : at + 100;
        decks.moveHeadTo(decks.playDeck(), at);
        decks.moveHeadTo(decks.previewDeck(), at + 50);
        decks.play();
        decks.preview();
        state.ResumeTiming();
        decks.transport().tick();
        state.PauseTiming();
        if (!decks.playDeck().current[0] || !decks.playDeck().current[1] ||
            !decks.previewDeck().current[0] || !decks.previewDeck().current[1]) {
            state.SkipWithError("the decks did not start their clips");
            break;
        }
        media::testing::advance(480, false);  // lets retired voices go
        state.ResumeTiming();
    }
    if (decks.playDeck().running()) decks.play();
    if (decks.previewDeck().running()) decks.preview();
}
BENCHMARK(BM_TickThatStartsClips)->Unit(benchmark::kMicrosecond);

void BM_IdleTick(benchmark::State& state) {
    MainWindow* w = freshWindow();
    DeckCommands& decks = testsupport::partOf<DeckCommands>(*w);
    fillLanes(w, "/nowhere/clip.mp3");
    for (auto _ : state) decks.transport().tick();
}
BENCHMARK(BM_IdleTick)->Unit(benchmark::kMicrosecond);

}  // namespace

VONTALIX_BENCH_MAIN(BenchApp::Widgets, {"BM_TickBothDecksOver500Clips", "time", 200},
                    {"BM_TickThatStartsClips", "time", 200})
