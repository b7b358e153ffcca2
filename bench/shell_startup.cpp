// Start-up to the window shown (budget under 300 ms): the file types and the main window with
// its menus and controls built, opened and painted once. The first run in the process also pays
// for loading fonts and pictures, so it is reported on its own.
#include <QApplication>
#include <QElapsedTimer>
#include <cstdlib>

#include "bench_main.h"
#include "shell/main_window.h"
#include "support/app_fixture.h"

namespace {

double showWindowMs() {
    QElapsedTimer t;
    t.start();
    testsupport::ensureApp();
    MainWindow* w = MainWindow::instance();
    w->show();
    w->centralWidget()->grab();  // one full paint, as the screen would get
    QApplication::processEvents();
    const double ms = t.nsecsElapsed() / 1e6;
    testsupport::discardWindow(w);
    return ms;
}

void BM_FirstStartUp(benchmark::State& state) {
    static const double first = showWindowMs();
    for (auto _ : state) state.SetIterationTime(first / 1000);
}
BENCHMARK(BM_FirstStartUp)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_WindowShown(benchmark::State& state) {
    for (auto _ : state) state.SetIterationTime(showWindowMs() / 1000);
}
BENCHMARK(BM_WindowShown)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

VONTALIX_BENCH_MAIN(BenchApp::Widgets, {"BM_FirstStartUp", "time", 300},
                    {"BM_WindowShown", "time", 300})
