// The whole program playing a two-lane mix with its window shown on a private X server (Xvfb),
// side by side with the ffmpeg command line mixing the same two files to the same sink in real
// time in the same run (budget: at most 1.2x its CPU, the user-interface thread under 1 % of a
// core), and the idle figures before the first Play and 5 s after Stop (budget: under 0.7 % of a
// core and 150 wake-ups a second). All are read from /proc. Needs scripts/audio-server.
#include <sys/syscall.h>
#include <unistd.h>

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <array>
#include <chrono>

#include "bench_main.h"
#include "first_sound.h"
#include "media/clip_movie.h"
#include "media/media.h"
#include "shell/main_window.h"
#include "support/app_fixture.h"
#include "support/child_process.h"
#include "support/media_gen.h"

namespace {

struct Usage {
    double cpuSeconds = 0;  // user + system
    double switches = 0;    // voluntary + involuntary context switches
};

// Time on a CPU (ns, from schedstat) and context switches of one thread.
Usage taskUsage(const QString& task) {
    Usage u;
    QFile sched(task + "/schedstat");
    if (sched.open(QIODevice::ReadOnly))
        u.cpuSeconds = sched.readAll().split(' ').value(0).toDouble() / 1e9;
    QFile status(task + "/status");
    if (!status.open(QIODevice::ReadOnly)) return u;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.contains("ctxt_switches:")) u.switches += line.split(':')[1].trimmed().toDouble();
    return u;
}

// Summed over the threads of a process alive now, or over those of one name, or one thread.
Usage usageOf(qint64 pid, const QByteArray& threadName = {}, qint64 tid = 0) {
    const QString base = QStringLiteral("/proc/%1/task/").arg(pid);
    if (tid) return taskUsage(base + QString::number(tid));
    Usage u;
    for (const QString& task : QDir(base).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (!threadName.isEmpty()) {
            QFile comm(base + task + "/comm");
            if (!comm.open(QIODevice::ReadOnly) || comm.readAll().trimmed() != threadName) continue;
        }
        const Usage t = taskUsage(base + task);
        u.cpuSeconds += t.cpuSeconds;
        u.switches += t.switches;
    }
    return u;
}

// Runs the event loop (the window's timers, painting and sound with it) for a while.
void runFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

struct Rates {
    double cpuPercent = 0, wakeups = 0;
};

struct Figures {
    Rates program, ui, sound, other;
};

// The program's figures over a while: all its threads, its user-interface thread (this one) and
// its sound output thread; with otherPid, that process's in the same while.
Figures measure(int ms, qint64 otherPid = 0) {
    const qint64 self = QCoreApplication::applicationPid();
    const qint64 ui = static_cast<qint64>(syscall(SYS_gettid));
    auto sample = [&] {
        return std::array<Usage, 4>{usageOf(self), usageOf(self, {}, ui),
                                    usageOf(self, "vontalix-sound"),
                                    otherPid ? usageOf(otherPid) : Usage{}};
    };
    const auto t0 = std::chrono::steady_clock::now();
    const auto a = sample();
    runFor(ms);
    const auto b = sample();
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    auto rates = [s](const Usage& x, const Usage& y) {
        return Rates{100 * (y.cpuSeconds - x.cpuSeconds) / s, (y.switches - x.switches) / s};
    };
    return {rates(a[0], b[0]), rates(a[1], b[1]), rates(a[2], b[2]), rates(a[3], b[3])};
}

// Two minutes of something like a DJ's music: a tone, a beating tone and noise, as a stereo
// 44.1 kHz MP3 at 192 kb/s.
QString makeMusic(const QString& dir, const QString& name, int hz) {
    const QString path = dir + "/" + name + ".mp3";
    const QString graph = QStringLiteral(
                              "sine=frequency=%1:duration=120,volume=0.3[a];"
                              "sine=frequency=%2:beep_factor=4:duration=120[b];"
                              "anoisesrc=d=120:c=pink:a=0.05[c];"
                              "[a][b][c]amix=inputs=3,aformat=channel_layouts=stereo")
                              .arg(hz)
                              .arg(hz * 3 / 2);
    const int status = testsupport::ChildProcess::execute(
        "ffmpeg",
        {"-nostdin", "-loglevel", "error", "-y", "-filter_complex", graph, "-ar", "44100", "-b:a",
         "192k", path},
        60000);
    return status == 0 ? path : QString();
}

// A playlist of the two files overlapping on the two lanes from just left of the play head, with
// 3 s fades, as the user would save it.
QString writeMix(const QString& dir, const QString& a, const QString& b) {
    const QString path = dir + "/mix.vtl";
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return {};
    f.write(
        "identifier%spur%trackdauer%fadein%fadeout%name%pfad%inpoint%outpoint%xpos%ypos%"
        "finderlabel%\r");
    f.write("vtlx%1%120%3%117%a%" + a.toUtf8() + "%0%120%150%16%0%\r");
    f.write("vtlx%2%120%3%117%b%" + b.toUtf8() + "%0%120%155%16%0%\r");
    return f.flush() ? path : QString();
}

void BM_TwoLaneMixAgainstFfmpeg(benchmark::State& state) {
    if (!testsupport::audioServerRunning()) {
        state.SkipWithError("no audio server (scripts/audio-server start)");
        return;
    }
    QTemporaryDir dir;
    const QString a = makeMusic(dir.path(), "a", 220), b = makeMusic(dir.path(), "b", 262);
    const QString mix = a.isEmpty() || b.isEmpty() ? QString() : writeMix(dir.path(), a, b);
    if (mix.isEmpty()) return state.SkipWithError("could not make the mix");
    MainWindow* w = testsupport::freshWindow();
    DocumentCommands& documents = testsupport::partOf<DocumentCommands>(*w);
    DeckCommands& decks = testsupport::partOf<DeckCommands>(*w);
    w->show();
    if (!QTest::qWaitForWindowExposed(w)) return state.SkipWithError("the window was not shown");
    documents.open(mix);  // as File > Open Playlist: clip pictures, movies opened on the workers
    for (int i = 0;
         i < 100 && (documents.documentBusy || testsupport::laneOf(*w, 2)->clips.empty()); ++i)
        runFor(100);
    if (testsupport::laneOf(*w, 1)->clips.size() != 1 ||
        testsupport::laneOf(*w, 2)->clips.size() != 1 || !media::testing::waitForClipMovies())
        return state.SkipWithError("the mix did not load");

    for (auto _ : state) {
        runFor(2000);
        const Figures before = measure(3000);

        QProcess ffmpeg;
        ffmpeg.start("ffmpeg", {"-nostdin", "-loglevel", "error", "-re", "-i", a, "-re", "-i", b,
                                "-filter_complex", "amix=inputs=2", "-f", "pulse", "-device",
                                "main", "vontalix-bench"});
        if (!ffmpeg.waitForStarted(3000)) return state.SkipWithError("ffmpeg did not start");
        decks.play();
        runFor(2000);  // both settled
        const Figures playing = measure(20000, ffmpeg.processId());
        const bool sounded =
            decks.playDeck().players[0].rate() > 0 && decks.playDeck().players[1].rate() > 0;
        decks.play();
        ffmpeg.kill();
        ffmpeg.waitForFinished(3000);
        if (!sounded) return state.SkipWithError("the mix did not play on both lanes");

        runFor(5000);
        const Figures after = measure(3000);

        const double cli = playing.other.cpuPercent;
        state.counters["idle_cpu_pct"] = before.program.cpuPercent;
        state.counters["idle_wakeups"] = before.program.wakeups;
        state.counters["play_cpu_pct"] = playing.program.cpuPercent;
        state.counters["play_wakeups"] = playing.program.wakeups;
        state.counters["play_ui_cpu_pct"] = playing.ui.cpuPercent;
        state.counters["play_ui_wakeups"] = playing.ui.wakeups;
        state.counters["play_output_cpu_pct"] = playing.sound.cpuPercent;
        state.counters["ffmpeg_cpu_pct"] = cli;
        state.counters["cpu_ratio"] = cli > 0 ? playing.program.cpuPercent / cli : 0;
        state.counters["stop5s_cpu_pct"] = after.program.cpuPercent;
        state.counters["stop5s_wakeups"] = after.program.wakeups;
    }
}
BENCHMARK(BM_TwoLaneMixAgainstFfmpeg)->Iterations(1)->Unit(benchmark::kSecond);

// First sound after Play when the output has rested (no voice for a few seconds, its stream
// stopped): from Play to the first sound recorded from the sink.
void BM_FirstSoundAfterRest(benchmark::State& state) {
    if (!testsupport::audioServerRunning()) {
        state.SkipWithError("no audio server (scripts/audio-server start)");
        return;
    }
    media::MovieRef m = media::openMovie(
        testsupport::makeMedia({testsupport::MediaKind::Mp3Cbr, 5.0, testsupport::Signal::Sine}));
    for (auto _ : state) {
        {
            media::MoviePlayer warm;
            warm.setMovie(m->share());
            warm.play();
            runFor(200);
            warm.stop();
        }
        runFor(3600);  // the output rests
        media::MoviePlayer p;
        p.setMovie(m->share());
        p.setPosition(1.0);
        state.SetIterationTime(playAndTimeFirstSound(p));
        p.stop();
    }
}
BENCHMARK(BM_FirstSoundAfterRest)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace

VONTALIX_BENCH_MAIN(BenchApp::Shown, {"BM_TwoLaneMixAgainstFfmpeg", "cpu_ratio", 1.2},
                    {"BM_TwoLaneMixAgainstFfmpeg", "play_ui_cpu_pct", 1.0},
                    {"BM_TwoLaneMixAgainstFfmpeg", "idle_cpu_pct", 0.7},
                    {"BM_TwoLaneMixAgainstFfmpeg", "idle_wakeups", 150},
                    {"BM_TwoLaneMixAgainstFfmpeg", "stop5s_cpu_pct", 0.7},
                    {"BM_TwoLaneMixAgainstFfmpeg", "stop5s_wakeups", 150},
                    {"BM_FirstSoundAfterRest", "time", 60})
