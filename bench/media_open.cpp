// Opening and measuring a 5-minute file (budget: 5 ms; exact length of a VBR MP3 without a
// header: 30 ms).
#include "bench_main.h"
#include "media/movie.h"
#include "support/media_gen.h"

using namespace testsupport;

static void openMeasure(benchmark::State& state, MediaKind kind) {
    const QString path = makeMedia({kind, 300.0});
    if (path.isEmpty()) {
        state.SkipWithError("ffmpeg could not make the file");
        return;
    }
    for (auto _ : state) {
        media::MovieRef m = media::openMovie(path);
        if (!m) state.SkipWithError("open failed");
        benchmark::DoNotOptimize(m->duration());
    }
}

BENCHMARK_CAPTURE(openMeasure, mp3_cbr, MediaKind::Mp3Cbr)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(openMeasure, mp3_vbr_xing, MediaKind::Mp3Vbr)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(openMeasure, mp3_vbr_no_header, MediaKind::Mp3VbrNoHeader)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(openMeasure, m4a, MediaKind::M4a)->Unit(benchmark::kMillisecond);

VONTALIX_BENCH_MAIN(BenchApp::Plain, {"openMeasure/mp3_cbr", "time", 5},
                    {"openMeasure/mp3_vbr_xing", "time", 5}, {"openMeasure/m4a", "time", 5},
                    {"openMeasure/mp3_vbr_no_header", "time", 30})
