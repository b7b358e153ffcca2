// First sound after Play wherever a clip starts in a one-hour file (budget: 60 ms): from Play to
// the first mixed block of the movie's sound, plus the sound queued in the device ahead of it,
// on the private PulseAudio server's null sink. The one-hour files (CBR MP3, VBR MP3 with and
// without a header, M4A) are made once with the ffmpeg command line and kept beside this program.
// Needs scripts/audio-server start.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <algorithm>
#include <utility>
#include <vector>

#include "bench_main.h"
#include "first_sound.h"
#include "support/audio_server.h"
#include "support/media_gen.h"

namespace {

using testsupport::MediaKind;

// A sine under pink noise that swells and fades every 20 s, so a VBR encoder really varies its
// frame sizes. Made once and kept beside this program.
QString oneHourFile(MediaKind kind) {
    const QString dir = QCoreApplication::applicationDirPath() + "/media-cache";
    QDir().mkpath(dir);
    const QString path =
        dir +
        QStringLiteral("/hour-%1.%2").arg(int(kind)).arg(kind == MediaKind::M4a ? "m4a" : "mp3");
    if (QFileInfo(path).size() > 0) return path;
    QStringList args = {"-nostdin",
                        "-loglevel",
                        "error",
                        "-y",
                        "-filter_complex",
                        "sine=frequency=440:sample_rate=44100:duration=3600[s];"
                        "anoisesrc=color=pink:sample_rate=44100:amplitude=0.3:duration=3600,"
                        "volume=eval=frame:volume='if(lt(mod(t\\,20)\\,10)\\,1\\,0.05)'[n];"
                        "[s][n]amix=inputs=2,aformat=channel_layouts=stereo"};
    const QString part = path + ".part." + QFileInfo(path).suffix();
    args << testsupport::encoderArguments(kind, 3600) << part;
    QProcess p;
    p.start("ffmpeg", args);
    if (!p.waitForFinished(-1) || p.exitCode() != 0 || !QFile::rename(part, path)) return {};
    return path;
}

void firstSoundAt(benchmark::State& state, MediaKind kind, double seconds) {
    if (!testsupport::audioServerRunning()) {
        state.SkipWithError("no audio server (scripts/audio-server start)");
        return;
    }
    const QString path = oneHourFile(kind);
    QElapsedTimer opening;
    opening.start();
    media::MovieRef m = media::openMovie(path);
    const double openMs = opening.nsecsElapsed() / 1e6;
    if (!m) {
        state.SkipWithError("could not make or open the one-hour file");
        return;
    }
    static bool warmed = false;
    if (!std::exchange(warmed, true)) {  // opens the device once, as a running program has
        media::MoviePlayer warm;
        warm.setMovie(m);
        warm.Play();
        QThread::msleep(300);
        warm.Stop();
    }
    std::vector<double> heardMs;
    for (auto _ : state) {
        media::MoviePlayer p;
        p.setMovie(m);
        p.setPosition(seconds);
        const double heard = playAndTimeFirstSound(p);
        p.Stop();
        heardMs.push_back(heard * 1000);
        state.SetIterationTime(heard);
        QThread::msleep(30);
    }
    std::sort(heardMs.begin(), heardMs.end());
    if (!heardMs.empty()) {
        state.counters["median_ms"] = heardMs[heardMs.size() / 2];
        state.counters["worst_ms"] = heardMs.back();
    }
    state.counters["open_ms"] = openMs;  // opening and measuring, frame walk included
}

#define FIRST_SOUND_AT(kind, name, seconds)              \
    BENCHMARK_CAPTURE(firstSoundAt, name, kind, seconds) \
        ->UseManualTime()                                \
        ->Iterations(15)                                 \
        ->Unit(benchmark::kMillisecond)
#define FIRST_SOUND(kind, name)                    \
    FIRST_SOUND_AT(kind, name##_1s, 1.0);          \
    FIRST_SOUND_AT(kind, name##_15min, 15 * 60.0); \
    FIRST_SOUND_AT(kind, name##_30min, 30 * 60.0); \
    FIRST_SOUND_AT(kind, name##_55min, 55 * 60.0)

FIRST_SOUND(MediaKind::Mp3Cbr, mp3_cbr);
FIRST_SOUND(MediaKind::Mp3Vbr, mp3_vbr_xing);
FIRST_SOUND(MediaKind::Mp3VbrNoHeader, mp3_vbr_no_header);
FIRST_SOUND(MediaKind::M4a, m4a);

}  // namespace

VONTALIX_BENCH_MAIN(BenchApp::Sound, {"firstSoundAt", "worst_ms", 60})
