// The system output volume: a thread of its own talks to PulseAudio, so the UI thread never
// waits for the server. It keeps the default sink's volume up to date (the server tells it of
// every change) and sends the volume the program sets, the latest one only.

#include "media/system_volume.h"

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>

#include "media/output.h"
#include "media/pulse_context.h"

namespace media {

namespace {

constexpr double kNothing = std::numeric_limits<double>::quiet_NaN();
// "@DEFAULT_SINK@" names the default sink in requests.
constexpr const char* kDefaultSink = "@DEFAULT_SINK@";
// A server that went away is tried again when the program next asks, at most this often.
constexpr int64_t kRetryMs = 2000;

int64_t nowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Answers go to the UI thread only while it has an application object; the lock keeps one from
// being posted while the application goes away.
struct AppState {
    std::mutex mutex;
    bool alive = false;
};
AppState& appState() {
    static AppState s;
    return s;
}
void appGone() {
    std::lock_guard lock(appState().mutex);
    appState().alive = false;
}
// UI thread.
void watchApp() {
    if (!QCoreApplication::instance()) return;
    std::lock_guard lock(appState().mutex);
    if (appState().alive) return;
    appState().alive = true;
    qAddPostRoutine(appGone);
}

}  // namespace

SystemVolume::SystemVolume(QByteArray server)
    : server_(std::move(server)), pending_(kNothing), uiSide_(std::make_unique<QObject>()) {
    watchApp();
    loop_ = pa_mainloop_new();
    if (loop_) thread_ = std::thread([this] { run(); });
}

SystemVolume::~SystemVolume() {
    quit_ = true;
    wake();
    if (thread_.joinable()) thread_.join();
    dropConnection();
    if (loop_) pa_mainloop_free(loop_);
}

double SystemVolume::value() {
    requestConnection();
    return value_.load();
}

void SystemVolume::set(double v) {
    if (std::isnan(v)) return;
    v = std::clamp(v, 0.0, 1.0);
    value_ = v;
    pending_ = v;
    requestConnection();
    wake();
}

void SystemVolume::onChanged(QObject* context, std::function<void(double)> handler) {
    watchApp();
    handlers_.emplace_back(context, std::move(handler));
}

void SystemVolume::requestConnection() {
    if (connected_.load() || !loop_) return;
    if (!connectWanted_.exchange(true)) wake();
}

void SystemVolume::wake() {
    if (!loop_) return;
    wakes_.fetch_add(1);
    pa_mainloop_wakeup(loop_);
}

void SystemVolume::run() {
    while (!quit_.load()) {
        const uint64_t seen = wakes_.load();
        if (!ctx_ && connectWanted_.load() && nowMs() - lastAttemptMs_ >= kRetryMs) connect();
        sendPending();
        if (pa_mainloop_prepare(loop_, -1) < 0) break;
        // Preparing empties the loop's wake-up pipe: a wake() that came since the flags were
        // read above would be lost and the poll would wait for ever. Ring again for it.
        if (wakes_.load() != seen) pa_mainloop_wakeup(loop_);
        if (pa_mainloop_poll(loop_) < 0 || pa_mainloop_dispatch(loop_) < 0) break;
    }
}

void SystemVolume::connect() {
    lastAttemptMs_ = nowMs();
    connectWanted_ = false;
    ctx_ = pa_context_new(pa_mainloop_get_api(loop_), "vontalix");
    if (!ctx_) return;
    pa_context_set_state_callback(ctx_, &SystemVolume::onState, this);
    pa_context_set_subscribe_callback(ctx_, &SystemVolume::onEvent, this);
    if (pa_context_connect(ctx_, server_.isEmpty() ? nullptr : server_.constData(),
                           PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
        dropConnection();
}

void SystemVolume::dropConnection() {
    if (!ctx_) return;
    detail::closeContext(ctx_);
    connected_ = false;
    querying_ = queryAgain_ = false;
    setsInFlight_ = 0;
}

void SystemVolume::onState(pa_context* c, void* self) {
    auto* me = static_cast<SystemVolume*>(self);
    const pa_context_state_t s = pa_context_get_state(c);
    if (s == PA_CONTEXT_READY) {
        me->connected_ = true;
        pa_operation* op = pa_context_subscribe(
            c, pa_subscription_mask_t(PA_SUBSCRIPTION_MASK_SINK | PA_SUBSCRIPTION_MASK_SERVER),
            nullptr, nullptr);
        if (op) pa_operation_unref(op);
        me->query();
    } else if (!PA_CONTEXT_IS_GOOD(s)) {
        // No server, or it went away: the value stays what it was last.
        me->dropConnection();
    }
}

void SystemVolume::onEvent(pa_context*, pa_subscription_event_type_t type, uint32_t, void* self) {
    const int facility = type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK;
    // A sink changed, or the server (its default sink, say).
    if (facility == PA_SUBSCRIPTION_EVENT_SINK || facility == PA_SUBSCRIPTION_EVENT_SERVER)
        static_cast<SystemVolume*>(self)->query();
}

void SystemVolume::query() {
    if (!ctx_ || !connected_) return;
    if (querying_) {
        queryAgain_ = true;
        return;
    }
    pa_operation* op =
        pa_context_get_sink_info_by_name(ctx_, kDefaultSink, &SystemVolume::onSinkInfo, this);
    if (!op) return;
    pa_operation_unref(op);
    querying_ = true;
}

void SystemVolume::onSinkInfo(pa_context*, const pa_sink_info* info, int eol, void* self) {
    auto* me = static_cast<SystemVolume*>(self);
    if (eol == 0 && info) {
        me->channels_ = info->volume.channels;
        // While the program's own setting is on its way, an older answer would undo it.
        if (me->setsInFlight_ == 0 && std::isnan(me->pending_.load()))
            me->publish(
                std::clamp(double(pa_cvolume_avg(&info->volume)) / PA_VOLUME_NORM, 0.0, 1.0));
        return;
    }
    me->querying_ = false;
    if (std::exchange(me->queryAgain_, false)) me->query();
    me->sendPending();  // the channel count may have been what it waited for
}

void SystemVolume::sendPending() {
    if (!ctx_ || !connected_ || channels_ <= 0) return;
    const double v = pending_.exchange(kNothing);
    if (std::isnan(v)) return;
    pa_cvolume target;
    pa_cvolume_set(&target, static_cast<unsigned>(channels_),
                   static_cast<pa_volume_t>(std::lround(v * PA_VOLUME_NORM)));
    pa_operation* op = pa_context_set_sink_volume_by_name(ctx_, kDefaultSink, &target,
                                                          &SystemVolume::onSetDone, this);
    if (!op) return;
    pa_operation_unref(op);
    ++setsInFlight_;
}

void SystemVolume::onSetDone(pa_context*, int, void* self) {
    auto* me = static_cast<SystemVolume*>(self);
    if (--me->setsInFlight_ == 0) me->query();  // what the server made of it
}

void SystemVolume::publish(double v) {
    heard_ = true;
    const double old = value_.exchange(v);
    if (old == v && heardBefore_) return;
    heardBefore_ = true;
    std::lock_guard lock(appState().mutex);
    if (!appState().alive) return;
    QMetaObject::invokeMethod(
        uiSide_.get(), [this, v] { dispatch(v); }, Qt::QueuedConnection);
}

void SystemVolume::dispatch(double v) {
    std::erase_if(handlers_, [](const auto& h) { return h.first.isNull(); });
    const auto handlers = handlers_;  // a handler may add another
    for (const auto& [context, handler] : handlers)
        if (context) handler(v);
}

namespace {
SystemVolume& shared() {
    static SystemVolume volume;
    return volume;
}
}  // namespace

double systemVolume() { return shared().value(); }
void setSystemVolume(double v) { shared().set(v); }
void onSystemVolumeChanged(QObject* context, std::function<void(double)> handler) {
    shared().onChanged(context, std::move(handler));
}

}  // namespace media
