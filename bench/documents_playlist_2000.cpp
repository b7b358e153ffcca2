// Open Playlist on 2000 records naming 2000 distinct one-hour MP3 files with headers, from the
// command to a usable window: every clip laid, the lanes drawn and the event loop answering
// (budget: under 2 s). The 2000 files are hard links (copies where links fail) of one one-hour
// VBR file with a Xing header, each under a name of its own, kept in the benchmark media cache.
#include <unistd.h>

#include <QElapsedTimer>
#include <QTimer>

#include "bench_main.h"
#include "model/playlist_format.h"
#include "hour_media.h"
#include "platform/dialogs.h"
#include "model/numtext.h"
#include "process_figures.h"
#include "support/app_fixture.h"

namespace {

constexpr int kFiles = 2000;

// The playlist and its files, made once.
QString playlist2000() {
    const QString source = oneHourFile(testsupport::MediaKind::Mp3Vbr);
    if (source.isEmpty()) return {};
    const QString dir = benchMediaCache() + "/playlist-2000";
    QDir().mkpath(dir);
    QByteArray text = model::playlistHeaderLine();
    for (int i = 0; i < kFiles; ++i) {
        const QString file = dir + QStringLiteral("/%1 hour.mp3").arg(i, 4, 10, QChar('0'));
        if (!QFileInfo::exists(file) &&
            ::link(QFile::encodeName(source).constData(), QFile::encodeName(file).constData()) !=
                0 &&
            !QFile::copy(source, file))
            return {};
        const double seconds = 3600, centre = 10 + 3600.0 * i + 1800;
        const QStringList fields = {"vtlx",
                                    QString::number(1 + i % 2),
                                    model::formatNumber(seconds),
                                    "0",
                                    model::formatNumber(seconds),
                                    QFileInfo(file).fileName(),
                                    file,
                                    "0",
                                    model::formatNumber(seconds),
                                    model::formatNumber(centre),
                                    "16",
                                    "0"};
        text += (fields.join(u'%') + u'%' + u'\r').toUtf8();
    }
    const QString path = dir + "/2000 hours.txt";
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(text) != text.size())
        return {};
    return path;
}

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
        w->open(list);
        w->centralWidget()->grab();
        // Usable: a timer posted now runs at once.
        bool answered = false;
        QTimer::singleShot(0, [&] { answered = true; });
        while (!answered) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        worstMs = std::max(worstMs, t.nsecsElapsed() / 1e6);
        clips = w->laneView1->clips.size() + w->laneView2->clips.size();
    }
    platform::dialogHooks() = {};
    state.counters["clips"] = static_cast<double>(clips);
    if (clips != kFiles) state.SkipWithError("not every record became a clip");
    state.counters["worst_ms"] = worstMs;
}
BENCHMARK(BM_Open2000OneHourFiles)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

VONTALIX_BENCH_MAIN(BenchApp::Widgets, {"BM_Open2000OneHourFiles", "worst_ms", 2000})
