// First sound after Play on the private PulseAudio server's null sink (budget: 30 ms): from Play
// to the first sound recorded from the sink. Needs scripts/audio-server start.
#include <QCoreApplication>
#include <QThread>
#include <chrono>

#include "bench_main.h"
#include "first_sound.h"
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
    warm.play();
    QThread::msleep(300);
    warm.stop();
    for (auto _ : state) {
        media::MoviePlayer p;
        p.setMovie(m);
        p.setPosition(1.0);
        state.SetIterationTime(playAndTimeFirstSound(p));
        p.stop();
        QThread::msleep(50);
    }
}
BENCHMARK(firstSound)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

VONTALIX_BENCH_MAIN(BenchApp::Sound, {"firstSound", "time", 30})
