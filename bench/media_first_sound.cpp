// First sound after Play wherever a clip starts in a one-hour file (budget: 30 ms): from Play to
// the first sound recorded from the private sound server's main sink. Each run also times
// its peer, a stream paused with its sound written and then unpaused, as peer_ms, and the ratio
// of the worst first sound to it. The one-hour files (CBR MP3, VBR MP3 with and without a
// header, M4A) are made once with the ffmpeg command line and kept beside this program. Needs
// scripts/audio-server start (PulseAudio), or start pipewire.
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
#include "hour_media.h"
#include "support/audio_server.h"
#include "support/media_gen.h"

namespace {

using testsupport::MediaKind;

// `restMs`: how long the prepared player waits before Play; past 3 s the output stream has
// stopped asking for sound and must start again.
void firstSoundAt(benchmark::State& state, MediaKind kind, double seconds, int restMs = 150) {
    if (!testsupport::audioServerRunning() || !SinkMonitor::main().ok()) {
        state.SkipWithError(
            "no audio server or no monitor of its main sink (scripts/audio-server start)");
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
    // A laid clip's MP3 frames are walked on a worker long before Play, as in the program.
    media::indexFramesLater(m);
    for (int i = 0; i < 3000 && m->frameIndexSlot() && !m->frameIndex(); ++i) QThread::msleep(10);
    static bool warmed = false;
    if (!std::exchange(warmed, true)) {  // opens the device once, as a running program has
        media::MoviePlayer warm;
        warm.setMovie(m);
        warm.play();
        QThread::msleep(300);
        warm.stop();
    }
    // As the program plays: a stopped deck keeps the clip under its head prepared (decoded and
    // held) shortly after the head comes to rest, and Play takes that start over.
    std::vector<double> heardMs;
    const int tag = 0;
    for (auto _ : state) {
        media::MoviePlayer p;
        p.cue(m, seconds, 256, media::StartLock(), &tag);
        QThread::msleep(restMs);
        p.setMovie(p.cuedMovie());
        p.setPosition(seconds);
        const double heard = playAndTimeFirstSound(p);
        p.stop();
        heardMs.push_back(heard * 1000);
        state.SetIterationTime(heard);
    }
    // Unbudgeted, for comparison: Play with nothing prepared (Play pressed within moments of
    // the head being placed, or a player that never rests at a spot), the file opened then.
    std::vector<double> coldMs;
    for (int i = 0; i < 5; ++i) {
        media::MoviePlayer p;
        p.setMovie(m);
        p.setPosition(seconds);
        coldMs.push_back(playAndTimeFirstSound(p) * 1000);
        p.stop();
    }
    std::vector<double> peerMs;
    for (int i = 0; i < 5; ++i)
        peerMs.push_back(SinkMonitor::main().unpauseAndTimeFirstSound() * 1000);
    std::sort(heardMs.begin(), heardMs.end());
    std::sort(peerMs.begin(), peerMs.end());
    if (!heardMs.empty()) {
        state.counters["median_ms"] = heardMs[heardMs.size() / 2];
        state.counters["worst_ms"] = heardMs.back();
        state.counters["peer_ms"] = peerMs[peerMs.size() / 2];
        state.counters["worst_vs_peer"] = heardMs.back() / peerMs[peerMs.size() / 2];
        std::sort(coldMs.begin(), coldMs.end());
        state.counters["unprepared_median_ms"] = coldMs[coldMs.size() / 2];
    }
    state.counters["open_ms"] = openMs;  // opening and measuring (a file without a header walked)
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
// Play long after Stop, when the output has come to rest.
BENCHMARK_CAPTURE(firstSoundAt, mp3_cbr_30min_output_rested, MediaKind::Mp3Cbr, 30 * 60.0, 3500)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(firstSoundAt, m4a_30min_output_rested, MediaKind::M4a, 30 * 60.0, 3500)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

}  // namespace

VONTALIX_BENCH_MAIN(BenchApp::Sound, {"firstSoundAt", "worst_ms", 30})
