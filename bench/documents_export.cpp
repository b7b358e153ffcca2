// Exporting a mix as a movie, side by side with the ffmpeg command line encoding the same two
// tracks from the same sources in the same run: a 60-minute mix of 5-minute clips with gaps
// (budget: at least 100x real time), and one one-hour clip on each lane (budget: at least 200x
// real time, and twice the speed of two ffmpeg processes encoding one lane each at once). Peak
// memory stays under 200 MB.
#include <sys/resource.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <vector>

#include "bench_main.h"
#include "documents/movie_export.h"
#include "hour_media.h"
#include "support/media_gen.h"

namespace {

constexpr int kClips = 12;            // alternately on the two lanes
constexpr double kClipSeconds = 300;  // 5-minute clips, each starting where the last one ends
constexpr double kMixSeconds = kClips * kClipSeconds;
constexpr int kSources = 4;

// Five minutes of stereo pink noise: harder for the encoder than most music.
QString source(int n) {
    const QString out = testsupport::tempDir() + QStringLiteral("/export-source-%1.mp3").arg(n);
    if (QFileInfo::exists(out)) return out;
    const QString noise = QStringLiteral("anoisesrc=d=%1:c=pink:r=44100:a=0.25:seed=%2");
    QProcess p;
    p.start("ffmpeg", {"-nostdin", "-loglevel", "error", "-y", "-filter_complex",
                       noise.arg(kClipSeconds).arg(2 * n + 1) + "[a];" +
                           noise.arg(kClipSeconds).arg(2 * n + 2) + "[b];[a][b]amerge=inputs=2",
                       "-c:a", "libmp3lame", "-b:a", "192k", out});
    if (!p.waitForFinished(600000) || p.exitCode() != 0) return QString();
    return out;
}

documents::MixSnapshot mix() {
    documents::MixSnapshot m;
    for (int i = 0; i < kClips; ++i) {
        documents::ExportClip c;
        c.path = source(i % kSources);
        c.lane = 1 + i % 2;
        c.lengthPx = kClipSeconds;
        c.centre = i * kClipSeconds + kClipSeconds / 2;
        c.outPoint = kClipSeconds;
        m.clips.push_back(c);
    }
    return m;
}

// The ffmpeg command line at the export's encoder priority, up to its inputs.
QStringList ffmpegCommand() {
    return QStringLiteral("-n 10 ffmpeg -nostdin -loglevel error -y").split(u' ');
}

// Its output options: sound encoded as the export encodes it, `seconds` long.
QStringList ffmpegEncoding(double seconds, const QString& out) {
    return QStringLiteral("-c:a aac -b:a 256k -ar 44100 -ac 2 -t %1").arg(seconds).split(u' ')
           << out;
}

// The same two tracks through the ffmpeg command line: every clip delayed to its place, each
// lane's clips mixed into one track padded to the mix's length, both encoded alike.
QStringList ffmpegArguments(const documents::MixSnapshot& m, const QString& out) {
    QStringList args = ffmpegCommand();
    for (const auto& c : m.clips) args << "-i" << c.path;
    QString graph;
    QString lanes[2];
    int count[2] = {0, 0};
    for (int i = 0; i < static_cast<int>(m.clips.size()); ++i) {
        const auto& c = m.clips[i];
        const qint64 ms = static_cast<qint64>((c.centre - c.lengthPx / 2) * 1000);
        graph += QStringLiteral("[%1:a]aresample=44100,adelay=%2:all=1[d%1];").arg(i).arg(ms);
        lanes[c.lane - 1] += QStringLiteral("[d%1]").arg(i);
        ++count[c.lane - 1];
    }
    for (int l = 0; l < 2; ++l)
        graph +=
            lanes[l] +
            QStringLiteral("amix=inputs=%1:normalize=0:duration=longest,apad=whole_dur=%2[l%3]")
                .arg(count[l])
                .arg(kMixSeconds)
                .arg(l) +
            (l == 0 ? ";" : "");
    args << "-filter_complex" << graph;
    for (int l = 0; l < 2; ++l) args << "-map" << QStringLiteral("[l%1]").arg(l);
    return args << ffmpegEncoding(kMixSeconds, out);
}

// The process's peak resident memory since the last reset, in MB.
double peakMegabytes() {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ')[0].toDouble() / 1024;
    return -1;
}

// CPU seconds used so far, by this process's threads or by its finished children.
double cpuSeconds(int who) {
    rusage u{};
    getrusage(who, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void resetPeakMemory() {
    QFile clear("/proc/self/clear_refs");
    if (clear.open(QIODevice::WriteOnly)) clear.write("5");
}

// Exports the mix and runs its peers, the ffmpeg command lines, all at once; reports both.
void exportAgainstPeers(benchmark::State& state, const documents::MixSnapshot& m, double mixSeconds,
                        const std::function<std::vector<QStringList>(const QString& dir)>& peers) {
    for (const auto& c : m.clips)
        if (c.path.isEmpty()) return state.SkipWithError("ffmpeg could not make the sources");
    QTemporaryDir dir;
    const QString ours = dir.filePath("qtmov.mov");
    double oursSeconds = 0, oursCpu = 0, peak = 0;
    for (auto _ : state) {
        resetPeakMemory();
        media::MovieWriteControl control;
        QElapsedTimer t;
        t.start();
        const double cpuBefore = cpuSeconds(RUSAGE_SELF);
        const documents::ExportResult r = documents::exportMix(m, ours, control);
        oursSeconds = t.nsecsElapsed() / 1e9;
        oursCpu = cpuSeconds(RUSAGE_SELF) - cpuBefore;
        peak = peakMegabytes();
        if (r.outcome != media::MovieWriteResult::Outcome::Written)
            return state.SkipWithError("the export failed");
        state.SetIterationTime(oursSeconds);
    }
    QElapsedTimer t;
    t.start();
    const double childCpuBefore = cpuSeconds(RUSAGE_CHILDREN);
    std::vector<std::unique_ptr<QProcess>> running;
    for (const QStringList& args : peers(dir.path())) {
        running.push_back(std::make_unique<QProcess>());
        running.back()->start("nice", args);
    }
    bool ran = true;
    for (auto& p : running) ran = p->waitForFinished(-1) && p->exitCode() == 0 && ran;
    const double ffmpegSeconds = t.nsecsElapsed() / 1e9;
    const double ffmpegCpu = cpuSeconds(RUSAGE_CHILDREN) - childCpuBefore;
    if (!ran) return state.SkipWithError("the ffmpeg command line failed");
    qint64 theirBytes = 0;
    for (const QFileInfo& f : QDir(dir.path()).entryInfoList({"ffmpeg*"}, QDir::Files))
        theirBytes += f.size();

    state.counters["x_realtime"] = mixSeconds / oursSeconds;
    state.counters["ffmpeg_x_realtime"] = mixSeconds / ffmpegSeconds;
    state.counters["speed_vs_ffmpeg"] = ffmpegSeconds / oursSeconds;
    // Real time per CPU second: what the work costs, whatever else the machine is doing.
    state.counters["cpu_x_realtime"] = mixSeconds / oursCpu;
    state.counters["ffmpeg_cpu_x_realtime"] = mixSeconds / ffmpegCpu;
    state.counters["peak_MB"] = peak;
    state.counters["movie_MB"] = QFileInfo(ours).size() / 1e6;
    state.counters["ffmpeg_movie_MB"] = theirBytes / 1e6;
}

void exportMix(benchmark::State& state) {
    const documents::MixSnapshot m = mix();
    exportAgainstPeers(state, m, kMixSeconds, [&m](const QString& dir) {
        return std::vector<QStringList>{ffmpegArguments(m, dir + "/ffmpeg.mov")};
    });
}

// One one-hour clip on each lane; its peers are two ffmpeg processes, one a lane, each encoding
// its file as the export does.
void exportHourClips(benchmark::State& state) {
    constexpr double kHour = 3600;
    documents::MixSnapshot m;
    const testsupport::MediaKind kinds[] = {testsupport::MediaKind::Mp3Vbr,
                                            testsupport::MediaKind::Mp3Cbr};
    for (int lane = 1; lane <= 2; ++lane) {
        documents::ExportClip c;
        c.path = oneHourFile(kinds[lane - 1]);
        c.lane = lane;
        c.lengthPx = kHour;
        c.centre = kHour / 2;
        c.outPoint = kHour;
        m.clips.push_back(c);
    }
    exportAgainstPeers(state, m, kHour, [&m](const QString& dir) {
        std::vector<QStringList> peers;
        for (const auto& c : m.clips)
            peers.push_back(ffmpegCommand()
                            << "-i" << c.path
                            << ffmpegEncoding(kHour,
                                              dir + QStringLiteral("/ffmpeg-%1.mov").arg(c.lane)));
        return peers;
    });
}

}  // namespace

BENCHMARK(exportMix)->Unit(benchmark::kSecond)->UseManualTime()->Iterations(1);
BENCHMARK(exportHourClips)->Unit(benchmark::kSecond)->UseManualTime()->Iterations(1);

VONTALIX_BENCH_MAIN(BenchApp::Plain, {"exportMix", "x_realtime", 100, Budget::AtLeast},
                    {"exportMix", "peak_MB", 200},
                    {"exportHourClips", "x_realtime", 200, Budget::AtLeast},
                    {"exportHourClips", "speed_vs_ffmpeg", 2, Budget::AtLeast},
                    {"exportHourClips", "peak_MB", 200})
