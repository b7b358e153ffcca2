// The deck tick: both decks running over a 500-clip mix (budget under 0.2 ms), and the idle
// tick that runs 100 times a second for the life of the window (its CPU share is its time
// divided by 10 ms).
#include "bench_main.h"

#include <QApplication>
#include <cstdlib>

#include "media/media.h"
#include "shell/window1.h"
#include "support/app_fixture.h"
#include "support/media_gen.h"

namespace {

Window1* freshWindow() {
    testsupport::ensureApp();
    if (Window1* old = Window1::existing()) {
        old->xquit = 1;
        delete old;
    }
    return Window1::instance();
}

// 250 clips of 100 pixels on each lane, lane 2 shifted by half a clip, all of the same file.
void fillLanes(Window1* w, const QString& path) {
    for (int lane = 1; lane <= 2; ++lane) {
        for (int i = 0; i < 250; ++i) {
            const double left = i * 100.0 + (lane == 2 ? 50 : 0) - 12000;
            w->lane(lane)->AddPicture(nullptr, left, 16, "clip", 100, path, lane, 10, 90, 0, 100,
                                      0);
        }
    }
}

void BM_TickBothDecksOver500Clips(benchmark::State& state) {
    media::testing::useNullOutput({"main", "preview"});
    const QString path = testsupport::makeMedia({testsupport::MediaKind::Mp3Cbr, 120.0});
    Window1* w = freshWindow();
    fillLanes(w, path);
    // Heads inside clips deep in the lanes, in the fade ramps so the fade route runs.
    w->MovePlayerLineTo(305);
    w->MovePreviewLineTo(395);
    w->play();
    w->preview();
    w->PlayPrevTimer_Action();  // loads the four clips
    if (!w->pam || !w->pam2 || !w->vam || !w->vam2) {
        state.SkipWithError("the decks did not start their clips");
        return;
    }
    for (auto _ : state) w->PlayPrevTimer_Action();
    benchmark::DoNotOptimize(w->playbalken);
    state.counters["clips"] =
        static_cast<double>(w->Canvas1->mPics.size() + w->Canvas2->mPics.size());
    w->play();
    w->preview();
}
BENCHMARK(BM_TickBothDecksOver500Clips)->Unit(benchmark::kMicrosecond);

void BM_IdleTick(benchmark::State& state) {
    Window1* w = freshWindow();
    fillLanes(w, "/nowhere/clip.mp3");
    for (auto _ : state) w->PlayPrevTimer_Action();
}
BENCHMARK(BM_IdleTick)->Unit(benchmark::kMicrosecond);

}  // namespace

VONTALIX_BENCH_MAIN(BenchApp::Widgets)
