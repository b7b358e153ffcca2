// A file of zeros named .mp3 is refused after its first few megabytes: the memory one
// measurement takes (budget: under 100 MB over what the program held before) and the time, for a
// 2 GiB file; and Open Folder on a folder of eight of them, measured at once (budget: under
// 400 MB in all). The files are sparse, kept in the benchmark media cache.
#include <QElapsedTimer>

#include "bench_main.h"
#include "hour_media.h"
#include "media/movie.h"
#include "platform/dialogs.h"
#include "process_figures.h"
#include "support/app_fixture.h"

namespace {

constexpr qint64 kZeroFileBytes = qint64(2) << 30;

// A folder of count sparse 2 GiB files of zeros, named .mp3.
QString zeroFolder(int count) {
    const QString dir = benchMediaCache() + QStringLiteral("/zeros-%1").arg(count);
    QDir().mkpath(dir);
    for (int i = 0; i < count; ++i) {
        QFile f(dir + QStringLiteral("/zeros %1.mp3").arg(i));
        if (f.size() == kZeroFileBytes) continue;
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || !f.resize(kZeroFileBytes))
            return {};
    }
    return dir;
}

void BM_MeasureZeroFile(benchmark::State& state) {
    const QString dir = zeroFolder(1);
    if (dir.isEmpty()) {
        state.SkipWithError("the file could not be made");
        return;
    }
    double peakMb = 0, worstMs = 0;
    for (auto _ : state) {
        PeakMemory peak;
        QElapsedTimer t;
        t.start();
        QString error;
        const media::MovieRef m = media::openMovie(dir + "/zeros 0.mp3", &error);
        worstMs = std::max(worstMs, t.nsecsElapsed() / 1e6);
        peakMb = std::max(peakMb, peak.stopped());
        if (m) state.SkipWithError("a file of zeros was taken for media");
    }
    state.counters["worst_ms"] = worstMs;
    state.counters["peak_growth_MB"] = peakMb;
}
BENCHMARK(BM_MeasureZeroFile)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_OpenFolderOfEightZeroFiles(benchmark::State& state) {
    const QString dir = zeroFolder(8);
    if (dir.isEmpty()) {
        state.SkipWithError("the files could not be made");
        return;
    }
    testsupport::ensureApp();
    MainWindow* w = MainWindow::instance();
    auto& hooks = platform::dialogHooks();
    hooks.message = [](const platform::MessageSpec&) { return platform::DialogAnswer::Alternate; };
    hooks.selectFolder = [&](const QString&) { return dir; };
    hooks.progress = [](const QString&, int, int) { return false; };
    double peakMb = 0;
    size_t laid = 0;
    for (auto _ : state) {
        PeakMemory peak;
        testsupport::partOf<DocumentCommands>(*w).openFolder();
        peakMb = std::max(peakMb, peak.stopped());
        laid = testsupport::laneOf(*w, 1)->clips.size() + testsupport::laneOf(*w, 2)->clips.size();
    }
    hooks = {};
    if (laid != 0) state.SkipWithError("a file of zeros was laid as a clip");
    state.counters["peak_growth_MB"] = peakMb;
}
BENCHMARK(BM_OpenFolderOfEightZeroFiles)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

}  // namespace

VONTALIX_BENCH_MAIN(BenchApp::Widgets, {"BM_MeasureZeroFile", "peak_growth_MB", 100},
                    {"BM_OpenFolderOfEightZeroFiles", "peak_growth_MB", 400})
