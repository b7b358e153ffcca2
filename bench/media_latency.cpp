// First sound after Play on the private PulseAudio server's null sink (budget: 60 ms):
// from Play to the first mixed block holding the movie's sound, plus the sound queued in the
// device ahead of it. Needs scripts/audio-server start.
#include "bench_main.h"

#include <QCoreApplication>
#include <QThread>
#include <chrono>

#include "media/media.h"
#include "support/audio_server.h"
#include "support/media_gen.h"

static void firstSound(benchmark::State& state) {
    if (!testsupport::audioServerRunning()) {
        state.SkipWithError("no audio server (scripts/audio-server start)");
        return;
    }
    media::MovieRef m = media::openMovie(
        testsupport::makeMedia({testsupport::MediaKind::Mp3Cbr, 5.0, testsupport::Signal::Sine}));
    media::MoviePlayer warm;  // opens the device once, as a running program has
    warm.setMovie(m);
    warm.Play();
    QThread::msleep(300);
    warm.Stop();
    for (auto _ : state) {
        media::MoviePlayer p;
        p.setMovie(m);
        p.setPosition(1.0);
        const auto t0 = std::chrono::steady_clock::now();
        p.Play();
        media::testing::FirstSound f;
        for (int i = 0; i < 2000 && !(f = p.firstSound()).sounded; ++i) QThread::usleep(200);
        const double mixed =
            (f.mixedAtNs -
             std::chrono::duration_cast<std::chrono::nanoseconds>(t0.time_since_epoch()).count()) /
            1e9;
        state.SetIterationTime(f.sounded ? mixed + f.queuedSeconds : 1.0);
        p.Stop();
        QThread::msleep(50);
    }
}
BENCHMARK(firstSound)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

VONTALIX_BENCH_MAIN(BenchApp::Sound)
