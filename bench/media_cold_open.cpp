// Measuring a dropped one-hour MP3 with a cold cache (budget with a fitting header: under 3 ms,
// a few KB read). Before each round the file's pages are dropped from the page cache
// (posix_fadvise), as dropping the whole system cache may be refused. The file without a header
// is walked frame by frame: its figure is reported, its budget scales the 5-minute one (30 ms).
#include <fcntl.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <algorithm>
#include <vector>

#include "bench_main.h"
#include "hour_media.h"
#include "media/movie.h"
#include "process_figures.h"

namespace {

using testsupport::MediaKind;

bool dropFromCache(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0) return false;
    const bool ok = ::fdatasync(fd) == 0 && ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED) == 0;
    ::close(fd);
    return ok;
}

void coldOpen(benchmark::State& state, MediaKind kind) {
    const QString path = oneHourFile(kind);
    if (path.isEmpty()) {
        state.SkipWithError("ffmpeg could not make the one-hour file");
        return;
    }
    std::vector<double> ms;
    double readKb = 0, seconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (!dropFromCache(path)) state.SkipWithError("the file's pages could not be dropped");
        const double readBefore = bytesReadSoFar();
        state.ResumeTiming();
        QElapsedTimer t;
        t.start();
        const media::MovieRef m = media::openMovie(path);
        ms.push_back(t.nsecsElapsed() / 1e6);
        state.PauseTiming();
        readKb = std::max(readKb, (bytesReadSoFar() - readBefore) / 1024);
        if (!m) {
            state.SkipWithError("open failed");
            break;
        }
        seconds = m->duration();
        state.ResumeTiming();
    }
    state.counters["seconds"] = seconds;
    state.counters["read_KB"] = readKb;
    if (ms.empty()) return;
    std::sort(ms.begin(), ms.end());
    state.counters["worst_ms"] = ms.back();
    state.counters["median_ms"] = ms[ms.size() / 2];
}

BENCHMARK_CAPTURE(coldOpen, mp3_vbr_xing_1h, MediaKind::Mp3Vbr)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);
BENCHMARK_CAPTURE(coldOpen, mp3_cbr_info_1h, MediaKind::Mp3Cbr)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);
BENCHMARK_CAPTURE(coldOpen, mp3_vbr_no_header_1h, MediaKind::Mp3VbrNoHeader)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

}  // namespace

VONTALIX_BENCH_MAIN(BenchApp::Widgets, {"coldOpen/mp3_vbr_xing_1h", "median_ms", 3},
                    {"coldOpen/mp3_cbr_info_1h", "median_ms", 3},
                    {"coldOpen/mp3_vbr_no_header_1h", "median_ms", 12 * 30.0})
