// Open Playlist on 2000 records naming 2000 distinct one-hour MP3 files with headers, from the
// command to a usable window: every clip laid, the lanes drawn and the event loop answering
// (budget: under 2 s). The 2000 files are hard links (copies where links fail) of one one-hour
// VBR file with a Xing header, each under a name of its own, kept in the benchmark media cache.
#include <QElapsedTimer>
#include <QTimer>

#include "bench_main.h"
#include "hour_playlist.h"
#include "platform/dialogs.h"
#include "process_figures.h"
#include "support/app_fixture.h"

namespace {

void BM_Open2000OneHourFiles(benchmark::State& state) {
    const QString list = playlist2000();
    if (list.isEmpty()) {
        state.SkipWithError("the files could not be made");
        return;
    }
    testsupport::ensureApp();
    MainWindow* w = MainWindow::instance();
    w->show();
    platform::dialogHooks().message = [](const platform::MessageSpec&) {
        return platform::DialogAnswer::Alternate;  // "Don't save" at the prompt
    };
    platform::dialogHooks().progress = [](const QString&, int, int) { return false; };
    double worstMs = 0;
    size_t clips = 0;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        testsupport::partOf<DocumentCommands>(*w).open(list);
        w->centralWidget()->grab();
        // Usable: a timer posted now runs at once.
        bool answered = false;
        QTimer::singleShot(0, [&] { answered = true; });
        while (!answered) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        worstMs = std::max(worstMs, t.nsecsElapsed() / 1e6);
        clips = testsupport::laneOf(*w, 1)->clips.size() + testsupport::laneOf(*w, 2)->clips.size();
    }
    platform::dialogHooks() = {};
    state.counters["clips"] = static_cast<double>(clips);
    if (clips != kPlaylistFiles) state.SkipWithError("not every record became a clip");
    state.counters["worst_ms"] = worstMs;
}
BENCHMARK(BM_Open2000OneHourFiles)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

VONTALIX_BENCH_MAIN(BenchApp::Widgets, {"BM_Open2000OneHourFiles", "worst_ms", 2000})
