// First sound after Play on the private PulseAudio server's null sink (budget: 60 ms), one second
// into a short file. Needs scripts/audio-server start.
#include "bench_main.h"
#include "first_sound.h"
#include "support/audio_server.h"
#include "support/media_gen.h"

static void firstSound(benchmark::State& state) {
    if (!testsupport::audioServerRunning()) {
        state.SkipWithError("no audio server (scripts/audio-server start)");
        return;
    }
    media::MovieRef m = media::openMovie(
        testsupport::makeMedia({testsupport::MediaKind::Mp3Cbr, 5.0, testsupport::Signal::Sine}));
    warmSoundDevice(m);
    for (auto _ : state) {
        state.SetIterationTime(firstSoundSeconds(m, 1.0));
        QThread::msleep(50);
    }
}
BENCHMARK(firstSound)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

VONTALIX_BENCH_MAIN(BenchApp::Sound)
