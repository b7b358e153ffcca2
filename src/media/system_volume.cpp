// The system output volume: the default PulseAudio sink's, through a short-lived libpulse
// connection with a bounded wait (the UI thread calls this), else a value kept in the process.

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>

#include "media/output.h"

namespace media {

namespace {

double fallbackVolume = 1.0;
constexpr auto kTimeout = std::chrono::milliseconds(300);

struct MainloopFree {
    void operator()(pa_mainloop* m) const { pa_mainloop_free(m); }
};
struct ContextFree {
    void operator()(pa_context* c) const {
        pa_context_disconnect(c);
        pa_context_unref(c);
    }
};

// One request-reply exchange with the server; false when there is none or it does not answer.
class PulseSession {
  public:
    bool connect() {
        loop_.reset(pa_mainloop_new());
        if (!loop_) return false;
        ctx_.reset(pa_context_new(pa_mainloop_get_api(loop_.get()), "vontalix"));
        if (!ctx_) return false;
        if (pa_context_connect(ctx_.get(), nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
            return false;
        return runUntil([&] {
                   const pa_context_state_t s = pa_context_get_state(ctx_.get());
                   return s == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(s);
               }) &&
               pa_context_get_state(ctx_.get()) == PA_CONTEXT_READY;
    }

    // Runs the loop until done() or the deadline.
    template <class F>
    bool runUntil(F done) {
        const auto deadline = std::chrono::steady_clock::now() + kTimeout;
        while (!done()) {
            const auto left = std::chrono::duration_cast<std::chrono::microseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) return false;
            if (pa_mainloop_prepare(loop_.get(), static_cast<int>(left.count())) < 0 ||
                pa_mainloop_poll(loop_.get()) < 0 || pa_mainloop_dispatch(loop_.get()) < 0)
                return false;
        }
        return true;
    }

    bool wait(pa_operation* op) {
        if (!op) return false;
        const bool ok =
            runUntil([&] { return pa_operation_get_state(op) != PA_OPERATION_RUNNING; });
        pa_operation_unref(op);
        return ok;
    }

    pa_context* ctx() { return ctx_.get(); }

  private:
    // The context goes before its loop.
    std::unique_ptr<pa_mainloop, MainloopFree> loop_;
    std::unique_ptr<pa_context, ContextFree> ctx_;
};

struct SinkVolume {
    bool found = false;
    pa_cvolume volume{};
};

void onSinkInfo(pa_context*, const pa_sink_info* info, int eol, void* user) {
    auto* out = static_cast<SinkVolume*>(user);
    if (eol == 0 && info) {
        out->found = true;
        out->volume = info->volume;
    }
}

// "@DEFAULT_SINK@" names the default sink in requests.
constexpr const char* kDefaultSink = "@DEFAULT_SINK@";

}  // namespace

double systemVolume() {
    PulseSession s;
    SinkVolume v;
    if (!s.connect() ||
        !s.wait(pa_context_get_sink_info_by_name(s.ctx(), kDefaultSink, onSinkInfo, &v)) ||
        !v.found)
        return fallbackVolume;
    return std::clamp(static_cast<double>(pa_cvolume_avg(&v.volume)) / PA_VOLUME_NORM, 0.0, 1.0);
}

void setSystemVolume(double value) {
    if (std::isnan(value)) return;
    value = std::clamp(value, 0.0, 1.0);
    fallbackVolume = value;
    PulseSession s;
    SinkVolume v;
    if (!s.connect() ||
        !s.wait(pa_context_get_sink_info_by_name(s.ctx(), kDefaultSink, onSinkInfo, &v)) ||
        !v.found)
        return;
    pa_cvolume target = v.volume;  // keeps the sink's channel count
    pa_cvolume_set(&target, target.channels,
                   static_cast<pa_volume_t>(std::lround(value * PA_VOLUME_NORM)));
    s.wait(pa_context_set_sink_volume_by_name(s.ctx(), kDefaultSink, &target, nullptr, nullptr));
}

}  // namespace media
