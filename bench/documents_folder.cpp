// File > Open Folder on a folder of 5-minute MP3 files (a third of them VBR without a header,
// which are measured by counting their frames), from the folder chosen to the last clip laid:
// budget under 2 s for 200 files. 50 and 100 files show how it scales.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <map>
#include <memory>

#include "bench_main.h"
#include "platform/dialogs.h"
#include "support/app_fixture.h"
#include "support/media_gen.h"

namespace {

using testsupport::MediaKind;

// A folder of count files, made once per count: copies of three 5-minute files.
QString folderOf(int count) {
    static std::map<int, std::unique_ptr<QTemporaryDir>> folders;
    auto& dir = folders[count];
    if (dir) return dir->path();
    const QString sources[] = {
        testsupport::makeMedia({MediaKind::Mp3Cbr, 300.0}),
        testsupport::makeMedia({MediaKind::Mp3Vbr, 300.0}),
        testsupport::makeMedia({MediaKind::Mp3VbrNoHeader, 300.0}),
    };
    for (const QString& s : sources)
        if (s.isEmpty()) return QString();
    dir = std::make_unique<QTemporaryDir>();
    for (int i = 0; i < count; ++i) {
        const QString name = QStringLiteral("%1 track.mp3").arg(i, 3, 10, QChar('0'));
        if (!QFile::copy(sources[i % 3], dir->filePath(name))) return QString();
    }
    return dir->path();
}

void BM_OpenFolder(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const QString folder = folderOf(count);
    if (folder.isEmpty()) {
        state.SkipWithError("ffmpeg could not make the files");
        return;
    }
    testsupport::ensureApp();
    MainWindow* w = MainWindow::instance();
    auto& hooks = platform::dialogHooks();
    hooks.message = [](const platform::MessageSpec&) { return platform::DialogAnswer::Alternate; };
    hooks.selectFolder = [&](const QString&) { return folder; };
    bool progressShown = false;
    hooks.progress = [&](const QString&, int, int) { return (progressShown = true), false; };
    size_t laid = 0;
    for (auto _ : state) {
        testsupport::partOf<DocumentCommands>(*w).openFolder();
        laid = testsupport::laneOf(*w, 1)->clips.size() + testsupport::laneOf(*w, 2)->clips.size();
    }
    hooks = {};
    if (laid != static_cast<size_t>(count)) state.SkipWithError("not every file was laid out");
    state.counters["files"] = static_cast<double>(laid);
    state.counters["progress_shown"] = progressShown ? 1 : 0;
}
BENCHMARK(BM_OpenFolder)
    ->Arg(50)
    ->Arg(100)
    ->Arg(200)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);

}  // namespace

VONTALIX_BENCH_MAIN(BenchApp::Widgets, {"BM_OpenFolder/200", "time", 2000})
