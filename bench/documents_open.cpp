// Opening playlists: 100,000 records (budget: under 3 s), 1000 day-long clips shown at 400 %,
// and hostile files at the size limit. Each reports the process's resident memory after the open
// and its peak (budget for any playlist the reader accepts: under 500 MB). Run one benchmark per
// process (--benchmark_filter) for a peak of its own.
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>

#include "bench_main.h"
#include "model/numtext.h"
#include "model/playlist_format.h"
#include "shell/main_window.h"
#include "support/app_fixture.h"
#include "support/media_gen.h"

namespace {

double peakRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

double rssMb() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * sysconf(_SC_PAGESIZE) / (1024.0 * 1024.0) : 0;
}

QByteArray record(int lane, double seconds, double centre, const QString& name,
                  const QString& path) {
    const QStringList fields = {"vtlx",
                                QString::number(lane),
                                model::formatNumber(seconds),
                                "0",
                                model::formatNumber(seconds),
                                name,
                                path,
                                "0",
                                model::formatNumber(seconds),
                                model::formatNumber(centre),
                                "16",
                                "0"};
    return (fields.join(u'%') + u'%' + u'\r').toUtf8();
}

QString writePlaylist(const QString& name, const QByteArray& text) {
    const QString path = testsupport::tempDir() + "/" + name;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size()) return QString();
    return path;
}

QString media() { return testsupport::makeMedia({testsupport::MediaKind::Mp3Cbr, 2.0}); }

MainWindow* window() {
    testsupport::ensureApp();
    MainWindow* w = MainWindow::instance();
    w->show();
    return w;
}

// Opens the playlist into an empty document (no save prompt) and shows it.
void openAndShow(MainWindow* w, const QString& path) {
    DocumentCommands& documents = testsupport::partOf<DocumentCommands>(*w);
    documents.resetDocument();
    documents.open(path);
    w->centralWidget()->grab();
}

void report(benchmark::State& state, MainWindow* w) {
    state.counters["clips"] = static_cast<double>(testsupport::laneOf(*w, 1)->clips.size() +
                                                  testsupport::laneOf(*w, 2)->clips.size());
    state.counters["kept"] =
        testsupport::partOf<DocumentCommands>(*w).documentMix().document().keptRecords.count();
    state.counters["rss_MB"] = rssMb();
    state.counters["peak_rss_MB"] = peakRssMb();
}

void BM_Open100000Records(benchmark::State& state) {
    const QString file = media();
    QByteArray text = model::playlistHeaderLine();
    for (int i = 0; i < 100000; ++i)
        text += record(1 + i % 2, 20, 30.0 * i, QStringLiteral("Artist %1: Title").arg(i), file);
    const QString list = writePlaylist("100000.txt", text);
    MainWindow* w = window();
    for (auto _ : state) openAndShow(w, list);
    report(state, w);
}
BENCHMARK(BM_Open100000Records)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Open1000DayLongClipsAt400(benchmark::State& state) {
    const QString file = media();
    QByteArray text = model::playlistHeaderLine();
    // Places beyond about 115 days are refused, so the days overlap, a tenth of a day apart.
    for (int i = 0; i < 1000; ++i)
        text += record(1 + i % 2, 86400, 8640.0 * (i / 2) + 43200, "a day", file);
    const QString list = writePlaylist("days.txt", text);
    MainWindow* w = window();
    for (auto _ : state) {
        openAndShow(w, list);
        // Zoomed to 400 % from the zoom button's menu.
        auto* zoomButton = testsupport::controlOf<platform::FlatButton>(*w, "zoomButton");
        zoomButton->menu()->actions().last()->trigger();
        w->centralWidget()->grab();
        // Scrolled along: a screen of each of ten places.
        auto* scrollBar = testsupport::controlOf<QScrollBar>(*w, "timelineScrollBar");
        for (int i = 0; i < 10; ++i) {
            scrollBar->setValue(scrollBar->maximum() / 10 * i);
            w->centralWidget()->grab();
        }
    }
    report(state, w);
}
BENCHMARK(BM_Open1000DayLongClipsAt400)->Unit(benchmark::kMillisecond)->Iterations(3);

// Files at the size limit: empty lines, one endless name, and the most records that fit.
void BM_OpenHostile(benchmark::State& state) {
    const qint64 size = model::kMaxPlaylistBytes - 1024;
    QByteArray text = model::playlistHeaderLine();
    switch (state.range(0)) {
        case 0:
            text += QByteArray(size, '\n');
            break;
        case 1:
            text += "vtlx%1%30%0%30%" + QByteArray(size, 'n') + "%/a.mp3%0%30%100%16%0%\r";
            break;
        default: {
            const QByteArray shortest = record(1, 1, 1, "", media());
            while (text.size() + shortest.size() < size) text += shortest;
        }
    }
    const QString list = writePlaylist(QStringLiteral("hostile%1.txt").arg(state.range(0)), text);
    text.clear();
    MainWindow* w = window();
    for (auto _ : state) openAndShow(w, list);
    report(state, w);
}
BENCHMARK(BM_OpenHostile)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

VONTALIX_BENCH_MAIN(BenchApp::Widgets, {"BM_Open100000Records", "time", 3000},
                    {"BM_Open", "peak_rss_MB", 500})
