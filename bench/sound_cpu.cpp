// CPU and wake-ups of the running program playing a two-lane mix, side by side with the ffmpeg
// command line mixing the same two files to the same sink in the same run (budget: at most 1.5x
// its CPU), and the idle figures before the first Play and 5 s after Stop (budget: under 0.7 %
// of a core and 150 wake-ups a second). Both are read from /proc. Needs scripts/audio-server.
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <chrono>

#include "bench_main.h"
#include "first_sound.h"
#include "media/media.h"
#include "shell/window1.h"
#include "support/app_fixture.h"
#include "support/audio_server.h"
#include "support/media_gen.h"

namespace {

// Before any sound server client starts in this process.
const bool pointed = testsupport::pointAtAudioServer();

struct Usage {
    double cpuSeconds = 0;  // user + system, all threads
    double switches = 0;    // voluntary + involuntary context switches, all threads
};

// Summed over the threads alive now (or those of one name): time on a CPU (ns, from schedstat)
// and context switches.
Usage usageOf(qint64 pid, const QByteArray& thread = {}) {
    Usage u;
    const QString base = QStringLiteral("/proc/%1/task/").arg(pid);
    for (const QString& task : QDir(base).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (!thread.isEmpty()) {
            QFile comm(base + task + "/comm");
            if (!comm.open(QIODevice::ReadOnly) || comm.readAll().trimmed() != thread) continue;
        }
        QFile sched(base + task + "/schedstat");
        if (sched.open(QIODevice::ReadOnly))
            u.cpuSeconds += sched.readAll().split(' ').value(0).toDouble() / 1e9;
        QFile status(base + task + "/status");
        if (!status.open(QIODevice::ReadOnly)) continue;
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.contains("ctxt_switches:"))
                u.switches += line.split(':')[1].trimmed().toDouble();
    }
    return u;
}

// Runs the event loop (the window's timers with it) for a while.
void runFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

struct Rates {
    double cpuPercent = 0, wakeups = 0;
};

// The program's figures over a while; with otherPid, that process's in the same while; with
// sound, the program's sound output thread on its own.
Rates measure(qint64 pid, int ms, qint64 otherPid = 0, Rates* other = nullptr,
              Rates* sound = nullptr) {
    const auto t0 = std::chrono::steady_clock::now();
    const Usage a = usageOf(pid), b = otherPid ? usageOf(otherPid) : Usage{};
    const Usage c = usageOf(pid, "vontalix-sound");
    runFor(ms);
    const Usage a2 = usageOf(pid), b2 = otherPid ? usageOf(otherPid) : Usage{};
    const Usage c2 = usageOf(pid, "vontalix-sound");
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    auto rates = [s](const Usage& x, const Usage& y) {
        return Rates{100 * (y.cpuSeconds - x.cpuSeconds) / s, (y.switches - x.switches) / s};
    };
    if (other) *other = rates(b, b2);
    if (sound) *sound = rates(c, c2);
    return rates(a, a2);
}

void BM_TwoLaneMixAgainstFfmpeg(benchmark::State& state) {
    if (!pointed || !testsupport::audioServerRunning()) {
        state.SkipWithError("no audio server (scripts/audio-server start)");
        return;
    }
    using testsupport::MediaKind;
    const QString a = testsupport::makeMedia({MediaKind::Mp3Cbr, 60.0});
    const QString b = testsupport::makeMedia({MediaKind::Mp3Cbr, 60.0, testsupport::Signal::Sine});
    testsupport::ensureApp();
    if (Window1* old = Window1::existing()) {
        old->xquit = 1;
        delete old;
    }
    Window1* w = Window1::instance();
    // Two overlapping clips, one per lane, cross-fading over the middle of the window.
    w->lane(1)->AddPicture(nullptr, 100, 16, "a", 60, a, 1, 0, 30, 0, 60, 0);
    w->lane(2)->AddPicture(nullptr, 101, 16, "b", 60, b, 2, 10, 60, 0, 60, 0);
    media::testing::waitForClipMovies();
    w->MovePlayerLineTo(102);
    const qint64 self = QCoreApplication::applicationPid();

    for (auto _ : state) {
        runFor(2000);
        const Rates before = measure(self, 3000);

        QProcess ffmpeg;
        ffmpeg.start("ffmpeg", {"-nostdin", "-loglevel", "error", "-i", a, "-i", b,
                                "-filter_complex", "amix=inputs=2", "-ar", "48000", "-f", "pulse",
                                "-device", "main", "vontalix-bench"});
        if (!ffmpeg.waitForStarted(3000)) {
            state.SkipWithError("ffmpeg did not start");
            return;
        }
        w->play();
        runFor(2000);  // both settled
        Rates cli, output;
        const Rates playing = measure(self, 10000, ffmpeg.processId(), &cli, &output);
        w->play();
        ffmpeg.kill();
        ffmpeg.waitForFinished(3000);

        runFor(5000);
        Rates outputAfter;
        const Rates after = measure(self, 3000, 0, nullptr, &outputAfter);

        state.counters["idle_cpu_pct"] = before.cpuPercent;
        state.counters["idle_wakeups"] = before.wakeups;
        state.counters["play_cpu_pct"] = playing.cpuPercent;
        state.counters["play_wakeups"] = playing.wakeups;
        state.counters["ffmpeg_cpu_pct"] = cli.cpuPercent;
        state.counters["ffmpeg_wakeups"] = cli.wakeups;
        state.counters["cpu_ratio"] = cli.cpuPercent > 0 ? playing.cpuPercent / cli.cpuPercent : 0;
        state.counters["play_output_cpu_pct"] = output.cpuPercent;
        state.counters["play_output_wakeups"] = output.wakeups;
        state.counters["stop5s_output_wakeups"] = outputAfter.wakeups;
        state.counters["stop5s_cpu_pct"] = after.cpuPercent;
        state.counters["stop5s_wakeups"] = after.wakeups;
    }
}
BENCHMARK(BM_TwoLaneMixAgainstFfmpeg)->Iterations(1)->Unit(benchmark::kSecond);

// First sound after Play when the output has rested (no voice for a few seconds, its stream
// stopped): from Play to the first mixed block of the movie plus the sound queued ahead of it.
void BM_FirstSoundAfterRest(benchmark::State& state) {
    if (!pointed || !testsupport::audioServerRunning()) {
        state.SkipWithError("no audio server (scripts/audio-server start)");
        return;
    }
    media::MovieRef m = media::openMovie(
        testsupport::makeMedia({testsupport::MediaKind::Mp3Cbr, 5.0, testsupport::Signal::Sine}));
    for (auto _ : state) {
        {
            media::MoviePlayer warm;
            warm.setMovie(m->share());
            warm.Play();
            runFor(200);
            warm.Stop();
        }
        runFor(3600);  // the output rests
        media::MoviePlayer p;
        p.setMovie(m->share());
        p.setPosition(1.0);
        state.SetIterationTime(playAndTimeFirstSound(p));
        p.Stop();
    }
}
BENCHMARK(BM_FirstSoundAfterRest)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace

VONTALIX_BENCH_MAIN(BenchApp::Widgets)
