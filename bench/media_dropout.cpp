// Playback without dropouts while the UI thread is busy for 50 ms every second and a busy loop
// runs on every other core, seven at least (budget: no dropout in 10 minutes). A sine plays through
// the private sound server's "main" sink while its monitor is recorded; a dropout is a stretch
// of at least half a millisecond of silence inside the sine. VONTALIX_DROPOUT_SECONDS sets the
// length (default 60; 600 for the budget). Needs scripts/audio-server start (PulseAudio), or
// start pipewire; with QT_LOGGING_RULES="vontalix.sound.debug=true" the output's underruns and
// its queue's growth are told as they happen.
#include <pthread.h>
#include <sched.h>

#include <QCoreApplication>
#include <QProcess>
#include <QThread>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "bench_main.h"
#include "media/media.h"
#include "support/audio_server.h"
#include "support/media_gen.h"

namespace {

// Counts runs of near-silence in a stream of 16-bit mono samples, across chunk boundaries.
struct GapCounter {
    int quietRun = 0;
    long long samples = 0;
    int gaps = 0;
    bool started = false;  // silence before the sine begins is not a gap
    std::string where;     // the first gaps: length and time
    void feed(const QByteArray& chunk) {
        const auto* s = reinterpret_cast<const int16_t*>(chunk.constData());
        for (qsizetype i = 0; i < chunk.size() / 2; ++i, ++samples) {
            if (std::abs(s[i]) > 30) {
                if (started && quietRun >= 24) {
                    ++gaps;
                    if (gaps <= 10)
                        where += std::to_string(quietRun) + " samples at " +
                                 std::to_string(samples / 48000) + " s; ";
                }
                started = true;
                quietRun = 0;
            } else {
                ++quietRun;
            }
        }
    }
};

void busyFor(std::chrono::milliseconds d) {
    const auto until = std::chrono::steady_clock::now() + d;
    while (std::chrono::steady_clock::now() < until) {
    }
}

// A busy loop on every core but the first, for as long as it lives; at least seven of them,
// spread over those cores, on a machine with fewer.
class BusyCores {
  public:
    static constexpr unsigned kAtLeast = 7;
    BusyCores() {
        const unsigned others = std::max(2u, std::thread::hardware_concurrency()) - 1;
        for (unsigned i = 0; i < std::max(others, kAtLeast); ++i) {
            threads_.emplace_back([this] {
                volatile uint64_t spin = 0;
                while (!stop_.load(std::memory_order_relaxed)) spin = spin + 1;
            });
            cpu_set_t set;
            CPU_ZERO(&set);
            CPU_SET(1 + i % others, &set);
            pthread_setaffinity_np(threads_.back().native_handle(), sizeof(set), &set);
        }
    }
    ~BusyCores() {
        stop_ = true;
        for (auto& t : threads_) t.join();
    }
    int count() const { return static_cast<int>(threads_.size()); }

  private:
    std::atomic<bool> stop_{false};
    std::vector<std::thread> threads_;
};

void BM_NoDropoutWhileTheUiIsBusy(benchmark::State& state) {
    if (!testsupport::audioServerRunning()) {
        state.SkipWithError("no audio server (scripts/audio-server start)");
        return;
    }
    const char* env = std::getenv("VONTALIX_DROPOUT_SECONDS");
    const int seconds = env ? std::max(5, std::atoi(env)) : 60;
    const QString sine = testsupport::makeMedia(
        {testsupport::MediaKind::Mp3Cbr, seconds + 5.0, testsupport::Signal::Sine});
    media::MovieRef movie = media::openMovie(sine);
    if (!movie) {
        state.SkipWithError("could not make the test sine");
        return;
    }
    for (auto _ : state) {
        QProcess rec;
        rec.start("parec", {"-d", "main.monitor", "--format=s16le", "--rate=48000", "--channels=1",
                            "--raw", "--latency-msec=20"});
        rec.waitForStarted(3000);
        // The recorder listens for the program; starved by the busy cores it would hear gaps
        // the program never made.
        sched_param realTime{};
        realTime.sched_priority = 5;
        sched_setscheduler(static_cast<pid_t>(rec.processId()), SCHED_RR, &realTime);
        GapCounter gaps;
        const BusyCores busy;
        media::MoviePlayer player;
        player.setMovie(movie);
        player.play();
        const auto start = std::chrono::steady_clock::now();
        for (int second = 0; second < seconds; ++second) {
            busyFor(std::chrono::milliseconds(50));  // the UI thread stalls
            const auto next = start + std::chrono::seconds(second + 1);
            while (std::chrono::steady_clock::now() < next) {
                QCoreApplication::processEvents();
                rec.waitForReadyRead(20);
                gaps.feed(rec.readAllStandardOutput());
            }
        }
        // Stop the recorder before the player, so the fade-out is not counted.
        rec.terminate();
        rec.waitForFinished(3000);
        gaps.feed(rec.readAllStandardOutput());
        player.stop();
        state.counters["seconds"] = seconds;
        state.counters["busy_cores"] = busy.count();
        state.counters["dropouts"] = gaps.gaps;
        state.counters["recorded_s"] = gaps.samples / 48000.0;
        if (gaps.gaps > 0) {
            static std::string why;
            why = std::to_string(gaps.gaps) + " dropouts heard in " + std::to_string(seconds) +
                  " s: " + gaps.where;
            state.SkipWithError(why.c_str());
        }
    }
}
BENCHMARK(BM_NoDropoutWhileTheUiIsBusy)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

VONTALIX_BENCH_MAIN(BenchApp::Sound, {"BM_NoDropoutWhileTheUiIsBusy", "dropouts", 0},
                    {"BM_NoDropoutWhileTheUiIsBusy", "busy_cores", BusyCores::kAtLeast,
                     Budget::AtLeast})
