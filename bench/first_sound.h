#pragma once
// First sound on the sink, heard rather than computed: the main sink's monitor is recorded in
// 1 ms fragments on a sound-server thread of the benchmark's own, and the first sound is the
// arrival of the first fragment holding a sample that is not silence. Measured from Play of a
// player, and, as its peer, from the unpausing of a stream that was paused with its sound
// already written (what a media player does when it is paused at the spot and unpaused).

#include <pulse/pulseaudio.h>

#include <QThread>
#include <atomic>
#include <chrono>
#include <cmath>
#include <vector>

#include "media/media.h"
#include "media/pulse_context.h"

class SinkMonitor {
  public:
    // The one monitor of the main sink, connected on first use.
    static SinkMonitor& main() {
        static SinkMonitor monitor;
        return monitor;
    }
    SinkMonitor(const SinkMonitor&) = delete;
    SinkMonitor& operator=(const SinkMonitor&) = delete;
    ~SinkMonitor() {
        if (!loop_) return;
        pa_threaded_mainloop_stop(loop_);
        if (record_) pa_stream_unref(record_);
        media::detail::closeContext(ctx_);
        pa_threaded_mainloop_free(loop_);
    }
    bool ok() const { return recording_; }

    // Seconds from `start()` being called to the first sound on the sink after it; 1 s when
    // nothing sounded within 0.4 s. Waits first until the sink has been silent for 60 ms, so
    // the end of what sounded before is not taken for the new sound.
    template <class Start>
    double timeFirstSound(Start start) {
        if (!ok()) return 1.0;
        for (int i = 0; i < 2000 && nowNs() - lastLoudNs_.load() < 60'000'000; ++i)
            QThread::usleep(500);
        heardNs_.store(0);
        const int64_t t0 = nowNs();
        armedNs_.store(t0);
        start();
        int64_t heard = 0;
        for (int i = 0; i < 4000 && !(heard = heardNs_.load()); ++i) QThread::usleep(100);
        armedNs_.store(0);
        return heard ? (heard - t0) / 1e9 : 1.0;
    }

    // The peer: a stream into the main sink asking for what the program's stream asks for first
    // (60 ms, 20 ms at a time), paused with a tone already written, then unpaused; seconds from
    // unpausing to the first sound.
    double unpauseAndTimeFirstSound() {
        if (!ok()) return 1.0;
        pa_stream* s = nullptr;
        {
            Lock lock(loop_);
            const pa_sample_spec spec{PA_SAMPLE_FLOAT32LE, kRate, 2};
            s = pa_stream_new(ctx_, "paused player", &spec, nullptr);
            if (!s) return 1.0;
            pa_stream_set_state_callback(s, &SinkMonitor::signal, this);
            pa_buffer_attr attr{};
            attr.maxlength = attr.prebuf = attr.fragsize = static_cast<uint32_t>(-1);
            attr.tlength = 6 * 480 * 8;
            attr.minreq = 2 * 480 * 8;
            const auto flags =
                static_cast<pa_stream_flags_t>(PA_STREAM_START_CORKED | PA_STREAM_ADJUST_LATENCY);
            if (pa_stream_connect_playback(s, "main", &attr, flags, nullptr, nullptr) < 0 ||
                !waitReady(s)) {
                pa_stream_unref(s);
                return 1.0;
            }
            std::vector<float> tone(pa_stream_writable_size(s) / sizeof(float));
            for (size_t i = 0; i < tone.size(); ++i)
                tone[i] = 0.5f * static_cast<float>(std::cos(2 * M_PI * 440 * (i / 2) / kRate));
            pa_stream_write(s, tone.data(), tone.size() * sizeof(float), nullptr, 0,
                            PA_SEEK_RELATIVE);
        }
        QThread::msleep(100);
        const double heard = timeFirstSound([&] {
            Lock lock(loop_);
            if (pa_operation* op = pa_stream_cork(s, 0, nullptr, nullptr)) pa_operation_unref(op);
        });
        Lock lock(loop_);
        pa_stream_set_state_callback(s, nullptr, nullptr);
        pa_stream_disconnect(s);
        pa_stream_unref(s);
        return heard;
    }

  private:
    static constexpr uint32_t kRate = 48000;
    static constexpr float kSilence = 1e-4f;

    using Lock = media::detail::LoopLock;

    static int64_t nowNs() {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }

    SinkMonitor() {
        loop_ = pa_threaded_mainloop_new();
        if (!loop_) return;
        ctx_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "vontalix-bench-monitor");
        if (!ctx_) return;
        pa_context_set_state_callback(
            ctx_, [](pa_context*, void* self) { signal(nullptr, self); }, this);
        if (pa_context_connect(ctx_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 ||
            pa_threaded_mainloop_start(loop_) < 0)
            return;
        Lock lock(loop_);
        for (;;) {
            const pa_context_state_t st = pa_context_get_state(ctx_);
            if (st == PA_CONTEXT_READY) break;
            if (!PA_CONTEXT_IS_GOOD(st)) return;
            pa_threaded_mainloop_wait(loop_);
        }
        const pa_sample_spec spec{PA_SAMPLE_FLOAT32LE, kRate, 2};
        record_ = pa_stream_new(ctx_, "sink monitor", &spec, nullptr);
        if (!record_) return;
        pa_stream_set_state_callback(record_, &SinkMonitor::signal, this);
        pa_stream_set_read_callback(record_, &SinkMonitor::onRead, this);
        pa_buffer_attr attr{};
        attr.maxlength = static_cast<uint32_t>(-1);
        attr.fragsize = 48 * 8;  // 1 ms
        recording_ = pa_stream_connect_record(record_, "main.monitor", &attr,
                                              PA_STREAM_ADJUST_LATENCY) == 0 &&
                     waitReady(record_);
    }

    // Loop lock held.
    bool waitReady(pa_stream* s) {
        for (;;) {
            const pa_stream_state_t st = pa_stream_get_state(s);
            if (st == PA_STREAM_READY) return true;
            if (!PA_STREAM_IS_GOOD(st)) return false;
            pa_threaded_mainloop_wait(loop_);
        }
    }

    static void signal(pa_stream*, void* self) {
        pa_threaded_mainloop_signal(static_cast<SinkMonitor*>(self)->loop_, 0);
    }

    static void onRead(pa_stream* s, size_t, void* self) {
        auto* m = static_cast<SinkMonitor*>(self);
        const int64_t arrived = nowNs();
        const void* data = nullptr;
        size_t bytes = 0;
        while (pa_stream_peek(s, &data, &bytes) == 0 && bytes > 0) {
            if (data && m->loud(static_cast<const float*>(data), bytes / sizeof(float))) {
                m->lastLoudNs_.store(arrived);
                if (m->armedNs_.load() && !m->heardNs_.load()) m->heardNs_.store(arrived);
            }
            pa_stream_drop(s);
        }
    }

    static bool loud(const float* f, size_t n) {
        for (size_t i = 0; i < n; ++i)
            if (std::fabs(f[i]) > kSilence) return true;
        return false;
    }

    pa_threaded_mainloop* loop_ = nullptr;
    pa_context* ctx_ = nullptr;
    pa_stream* record_ = nullptr;
    bool recording_ = false;
    std::atomic<int64_t> armedNs_{0}, heardNs_{0}, lastLoudNs_{0};
};

// First sound of a player on the main sink, from Play.
inline double playAndTimeFirstSound(media::MoviePlayer& p) {
    return SinkMonitor::main().timeFirstSound([&] { p.play(); });
}
