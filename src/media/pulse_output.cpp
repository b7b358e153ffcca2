#include "media/pulse_output.h"

#include <pulse/pulseaudio.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <utility>

#include "media/pulse_context.h"
#include "media/realtime.h"
#include "media/sound_log.h"

namespace media::detail {

namespace {

constexpr int kFrameBytes = kMixChannels * static_cast<int>(sizeof(float));
constexpr size_t kBlockBytes = static_cast<size_t>(kBlockFrames) * kFrameBytes;
constexpr double kBytesPerMs = kFrameBytes * kMixRate / 1000.0;
// Sound queued in the server. A server adjusting the latency keeps half of what is asked beyond
// two requests as its device's own latency (which a new voice cannot be written into) and the
// rest as the stream's queue, refilled a request at a time: asking for two requests and two
// blocks gives the device one block and the queue two requests and a block.
// Requests start at two blocks (a 50 ms queue: under load, PipeWire ran a 30 ms one dry, its
// interface's thread starved). After each underrun they grow by a block, up to the longest: the
// queue deepens while the device's part, and with it the wait for a new voice, stays one block;
// streams opened later start with requests that long. A new voice does not wait behind the
// queue: it replaces the silence in it that the server has not yet played.
constexpr uint32_t kFirstRequestBytes = 2 * kBlockBytes;
constexpr uint32_t kMaxRequestBytes = 5 * kBlockBytes;
constexpr uint32_t askedLength(uint32_t request) { return 2 * (request + kBlockBytes); }
// What the server may hold ahead of playback, for the blocks mixed again (the server may make
// the queue longer than asked).
constexpr int kMaxRemixBlocks = 16;
static_assert(askedLength(kMaxRequestBytes) <= kMaxRemixBlocks * kBlockBytes,
              "a voice must be able to replace all the silence of the deepest queue");
// Kept clear ahead of where the server reads when it last said so.
constexpr int64_t kReadMarginBytes = 96 * kFrameBytes;
// While a voice waits for its first decoded sound, how often the queued silence is looked at
// again, and for how long at most.
constexpr pa_usec_t kRetryUs = 1000;
constexpr int kMaxRetries = 500;
// A device with no voice for this long stops its stream until the next voice.
constexpr int64_t kRestAfterFrames = 3 * kMixRate;
// How long the UI waits for a server to accept the connection and list its sinks.
constexpr pa_usec_t kConnectWaitUs = 1000 * 1000;

}  // namespace

// One playback stream into one sink. Its callbacks run on the loop thread with the lock held.
class PulseDevice : public Device {
  public:
    PulseDevice(PulseOutput& out, int32_t id, QString name)
        : Device(id), out_(out), name_(std::move(name)), pacer_(mixer_) {}
    ~PulseDevice() override { shutdown(); }

    // Loop lock held.
    bool connect(const QByteArray& sinkName) {
        pa_sample_spec spec{PA_SAMPLE_FLOAT32LE, static_cast<uint32_t>(kMixRate),
                            static_cast<uint8_t>(kMixChannels)};
        stream_ = pa_stream_new(out_.ctx_, "Vontalix", &spec, nullptr);
        if (!stream_) return false;
        pa_stream_set_write_callback(stream_, &PulseDevice::writeCb, this);
        pa_stream_set_state_callback(stream_, &PulseDevice::stateCb, this);
        pa_stream_set_underflow_callback(stream_, &PulseDevice::underflowCb, this);
        pa_stream_set_buffer_attr_callback(stream_, &PulseDevice::attrChangedCb, this);
        requestBytes_ = std::max(kFirstRequestBytes, out_.requestBytes_);
        const pa_buffer_attr attr = bufferAttr(requestBytes_);
        // A device that goes away must not take the sound elsewhere (the audience would hear the
        // headphone mix): the stream fails instead of moving.
        const auto flags =
            static_cast<pa_stream_flags_t>(PA_STREAM_ADJUST_LATENCY | PA_STREAM_DONT_MOVE);
        restWord_.store(0, std::memory_order_relaxed);
        if (pa_stream_connect_playback(stream_, sinkName.constData(), &attr, flags, nullptr,
                                       nullptr) < 0) {
            release();
            return false;
        }
        out_.devices_.push_back(this);
        return true;
    }

    void shutdown() override {
        if (out_.loop_) {
            LoopLock lock(out_.loop_);
            release();
            std::erase(out_.devices_, this);
        }
        pacer_.stop();
    }

    void wake() override {
        if (dead_.load(std::memory_order_acquire)) {
            pacer_.wake();
            return;
        }
        // One read-modify-write on the word rest() decides on: either it comes before the
        // stream's decision, which then sees this voice, or after, and the kick finds the stream
        // resting. A stream that plays is kicked too: the voice goes into its queued silence.
        restWord_.fetch_add(kWakeStep, std::memory_order_acq_rel);
        out_.kick();
    }

    bool dead() const override { return dead_.load(std::memory_order_acquire); }

    // Loop thread: a resting stream with a voice to play starts again, from an empty buffer so
    // the first sound is not queued behind the silence of before.
    void resume() {
        if (!stream_ || dead() || !(restWord_.load(std::memory_order_acquire) & kResting) ||
            !mixer_.anyActive() || pa_stream_get_state(stream_) != PA_STREAM_READY)
            return;
        restWord_.fetch_and(~kResting, std::memory_order_acq_rel);
        idleFrames_ = 0;
        if (pa_operation* op = pa_stream_flush(stream_, nullptr, nullptr)) pa_operation_unref(op);
        if (pa_operation* op = pa_stream_cork(stream_, 0, nullptr, nullptr)) pa_operation_unref(op);
    }

    // Loop thread: voices waiting to begin are mixed into the silence queued in the server and
    // not yet played, instead of after it. The server is asked first where it reads.
    void startEarly(bool again = false) {
        if (!again) retries_ = 0;
        if (!stream_ || dead() || timingOp_ ||
            (restWord_.load(std::memory_order_acquire) & kResting) ||
            pa_stream_get_state(stream_) != PA_STREAM_READY || !waitsInSilence())
            return;
        timingOp_ = pa_stream_update_timing_info(stream_, &PulseDevice::timingCb, this);
    }

    // Loop lock held: the program ends; nothing is told.
    void close() {
        dead_.store(true);
        release();
    }

    // Loop thread: the server or the sink is gone.
    void lose() {
        if (dead_.exchange(true)) return;
        qCDebug(soundLog) << "device lost:" << name_;
        pacer_.start();
        if (mixer_.anyActive() && out_.lost_) out_.lost_(id_, name_);
    }

  private:
    static void writeCb(pa_stream*, size_t nbytes, void* self) {
        static_cast<PulseDevice*>(self)->write(nbytes);
    }
    static void stateCb(pa_stream* s, void* self) {
        auto* d = static_cast<PulseDevice*>(self);
        const pa_stream_state_t st = pa_stream_get_state(s);
        if (st == PA_STREAM_READY) d->readGrantedQueue("opened");
        if (st == PA_STREAM_FAILED || st == PA_STREAM_TERMINATED) d->lose();
    }
    static void underflowCb(pa_stream*, void* self) { static_cast<PulseDevice*>(self)->underrun(); }
    static void attrChangedCb(pa_stream*, void* self) {
        static_cast<PulseDevice*>(self)->readGrantedQueue("changed by the server");
    }

    static pa_buffer_attr bufferAttr(uint32_t request) {
        pa_buffer_attr attr{};
        attr.maxlength = static_cast<uint32_t>(-1);
        attr.tlength = askedLength(request);
        attr.prebuf = static_cast<uint32_t>(-1);
        attr.minreq = request;
        attr.fragsize = static_cast<uint32_t>(-1);
        return attr;
    }

    // Loop thread: the server played the queue dry and inserted silence. The queue is made
    // deeper (and kept so), unless it is at its deepest or a change is on its way.
    void underrun() {
        if (dead()) return;
        qCDebug(soundLog) << "underrun on" << name_ << "with a queue of"
                          << grantedBytes_ / kBytesPerMs << "ms";
        if (attrOp_ || requestBytes_ >= kMaxRequestBytes) return;
        requestBytes_ += kBlockBytes;
        out_.requestBytes_ = std::max(out_.requestBytes_, requestBytes_);
        const pa_buffer_attr attr = bufferAttr(requestBytes_);
        attrOp_ = pa_stream_set_buffer_attr(
            stream_, &attr,
            [](pa_stream*, int success, void* self) {
                auto* d = static_cast<PulseDevice*>(self);
                pa_operation_unref(std::exchange(d->attrOp_, nullptr));
                if (success) d->readGrantedQueue("grown");
            },
            this);
    }

    // Loop thread: the queue the server keeps.
    void readGrantedQueue(const char* why) {
        const pa_buffer_attr* a = pa_stream_get_buffer_attr(stream_);
        if (!a) return;
        grantedBytes_ = a->tlength;
        qCDebug(soundLog).nospace()
            << "queue on " << name_ << " " << why << ": " << a->tlength / kBytesPerMs
            << " ms, asked for " << a->minreq / kBytesPerMs << " ms at a time";
    }

    static void timingCb(pa_stream*, int success, void* self) {
        auto* d = static_cast<PulseDevice*>(self);
        pa_operation_unref(std::exchange(d->timingOp_, nullptr));
        if (success) d->replaceQueuedSilence();
    }

    // A voice waits to begin, and the sound queued last is silence.
    bool waitsInSilence() const {
        return mixer_.quietTailFrames() >= kBlockFrames && mixer_.voiceWaitsToBegin();
    }

    // Loop thread, with fresh timing: the silence the server holds unread is mixed again, and
    // what now sounds is written over it, placed from where the server reads when the write
    // reaches it: should the sink have read on meanwhile, all that follows comes that much
    // later (the write index ends later by as much) instead of losing its first frames. Only
    // what was mixed after the last sound is replaced, so nothing heard or queued to be heard
    // changes.
    void replaceQueuedSilence() {
        if (!stream_ || dead()) return;
        if (const pa_timing_info* t = pa_stream_get_timing_info(stream_);
            t && !t->read_index_corrupt && !t->write_index_corrupt) {
            const int64_t unread = t->write_index - t->read_index - kReadMarginBytes;
            const int64_t end = mixer_.renderedFrames();
            const int64_t from =
                end - std::min<int64_t>({unread / kFrameBytes, mixer_.quietTailFrames(),
                                         kMaxRemixBlocks * kBlockFrames});
            const int frames = unread > 0 ? mixer_.remix(remix_.data(), from) : 0;
            if (frames > 0) {
                const size_t bytes = static_cast<size_t>(frames) * kFrameBytes;
                const int64_t afterRead =
                    t->write_index - static_cast<int64_t>(bytes) - t->read_index;
                pa_stream_write(stream_, remix_.data(), bytes, nullptr, afterRead,
                                PA_SEEK_RELATIVE_ON_READ);
            }
        }
        // Its sound not decoded yet: looked at again shortly.
        if (waitsInSilence() && ++retries_ < kMaxRetries) retryAfter(kRetryUs);
    }

    // Loop thread: looks at the queued silence again after `us`.
    void retryAfter(pa_usec_t us) {
        const pa_usec_t at = pa_rtclock_now() + us;
        if (retry_) {
            pa_context_rttime_restart(out_.ctx_, retry_, at);
        } else {
            retry_ = pa_context_rttime_new(
                out_.ctx_, at,
                [](pa_mainloop_api*, pa_time_event*, const timeval*, void* self) {
                    static_cast<PulseDevice*>(self)->startEarly(true);
                },
                this);
        }
    }

    void write(size_t nbytes) {
        if (dead()) return;
        // The server asks for what its queue lacks.
        queuedSeconds.store(
            static_cast<double>(grantedBytes_ - std::min<size_t>(nbytes, grantedBytes_)) /
                (kFrameBytes * static_cast<double>(kMixRate)),
            std::memory_order_relaxed);
        const size_t blocks = std::max<size_t>(1, nbytes / kBlockBytes);
        for (size_t i = 0; i < blocks; ++i) {
            mixer_.render(block_.data(), kBlockFrames);
            if (pa_stream_write(stream_, block_.data(), kBlockBytes, nullptr, 0, PA_SEEK_RELATIVE) <
                0)
                return;
        }
        if (mixer_.anyActive()) {
            idleFrames_ = 0;
        } else if ((idleFrames_ += static_cast<int64_t>(blocks) * kBlockFrames) >=
                   kRestAfterFrames) {
            rest();
        }
    }

    // Loop thread: no voice for a while; the stream stops asking for sound (no more wake-ups).
    void rest() {
        // The wake count first, then the voices: a wake() in between changes the count, so the
        // stream does not rest; a wake() before it was counted is seen together with its voice.
        uint64_t seen = restWord_.load(std::memory_order_acquire);
        if (mixer_.anyActive() ||
            !restWord_.compare_exchange_strong(seen, seen | kResting, std::memory_order_acq_rel)) {
            idleFrames_ = 0;  // a voice came in the meantime
            return;
        }
        if (pa_operation* op = pa_stream_cork(stream_, 1, nullptr, nullptr)) pa_operation_unref(op);
    }

    // Loop lock held.
    void release() {
        for (pa_operation** op : {&timingOp_, &attrOp_}) {
            if (!*op) continue;
            pa_operation_cancel(*op);
            pa_operation_unref(std::exchange(*op, nullptr));
        }
        if (retry_) {
            pa_threaded_mainloop_get_api(out_.loop_)->time_free(std::exchange(retry_, nullptr));
        }
        if (!stream_) return;
        pa_stream_set_write_callback(stream_, nullptr, nullptr);
        pa_stream_set_state_callback(stream_, nullptr, nullptr);
        pa_stream_set_underflow_callback(stream_, nullptr, nullptr);
        pa_stream_set_buffer_attr_callback(stream_, nullptr, nullptr);
        pa_stream_disconnect(stream_);
        pa_stream_unref(stream_);
        stream_ = nullptr;
    }

    PulseOutput& out_;
    QString name_;
    pa_stream* stream_ = nullptr;
    Pacer pacer_;
    std::atomic<bool> dead_{false};
    // The stream rests (kResting) and the count of wake() calls above it, in one word so that
    // wake() and rest() order themselves on it.
    static constexpr uint64_t kResting = 1;
    static constexpr uint64_t kWakeStep = 2;
    std::atomic<uint64_t> restWord_{0};
    // Loop thread.
    int64_t idleFrames_ = 0;
    std::array<float, kBlockFrames * kMixChannels> block_{};
    std::array<float, (kMaxRemixBlocks + 1) * kBlockFrames * kMixChannels> remix_{};
    pa_operation* timingOp_ = nullptr;                         // asking the server where it reads
    pa_operation* attrOp_ = nullptr;                           // asking for a deeper queue
    uint32_t requestBytes_ = kFirstRequestBytes;               // asked for at a time
    uint32_t grantedBytes_ = askedLength(kFirstRequestBytes);  // the queue the server keeps
    pa_time_event* retry_ = nullptr;
    int retries_ = 0;
};

PulseOutput::~PulseOutput() { shutdown(); }

void PulseOutput::startLoop() {
    loop_ = pa_threaded_mainloop_new();
    if (!loop_) return;
    pa_threaded_mainloop_set_name(loop_, "vontalix-sound");
    kickFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (kickFd_ >= 0) {
        pa_mainloop_api* api = pa_threaded_mainloop_get_api(loop_);
        kickEvent_ = api->io_new(
            api, kickFd_, PA_IO_EVENT_INPUT,
            [](pa_mainloop_api*, pa_io_event*, int fd, pa_io_event_flags_t, void* self) {
                uint64_t n;
                while (read(fd, &n, sizeof n) > 0) {
                }
                static_cast<PulseOutput*>(self)->onKick();
            },
            this);
    }
    if (pa_threaded_mainloop_start(loop_) < 0) {
        pa_threaded_mainloop_free(loop_);
        loop_ = nullptr;
        return;
    }
    // The loop's thread mixes: a late block is a dropout. Queuing the call touches the loop's
    // event lists, which its thread is already walking: only with the lock held.
    LoopLock lock(loop_);
    pa_threaded_mainloop_once_unlocked(
        loop_, [](pa_threaded_mainloop*, void*) { boostSoundThread(); }, nullptr);
}

void PulseOutput::kick() {
    const uint64_t one = 1;
    if (kickFd_ >= 0) (void)!::write(kickFd_, &one, sizeof one);
}

void PulseOutput::onKick() {
    for (PulseDevice* d : devices_) {
        d->resume();
        d->startEarly();
    }
}

void PulseOutput::contextStateCb(pa_context*, void* self) {
    static_cast<PulseOutput*>(self)->onContextState();
}

void PulseOutput::onContextState() {
    const pa_context_state_t st = pa_context_get_state(ctx_);
    if (st == PA_CONTEXT_FAILED || st == PA_CONTEXT_TERMINATED) {
        ready_.store(false, std::memory_order_release);
        for (PulseDevice* d : devices_) d->lose();
        sinks_.clear();
        defaultSink_.clear();
        generation_.fetch_add(1, std::memory_order_acq_rel);
    }
    pa_threaded_mainloop_signal(loop_, 0);
}

void PulseOutput::requestLists() {
    if (pendingLists_ > 0) {
        listAgain_ = true;  // asked again when this round ends, so no change is missed
        return;
    }
    pendingLists_ = 2;
    building_.clear();
    pa_operation* op = pa_context_get_server_info(
        ctx_,
        [](pa_context*, const pa_server_info* info, void* p) {
            auto* self = static_cast<PulseOutput*>(p);
            self->buildingDefault_ =
                info && info->default_sink_name ? QByteArray(info->default_sink_name) : "";
            self->listDone();
        },
        this);
    finishOrListDone(op);
    op = pa_context_get_sink_info_list(
        ctx_,
        [](pa_context*, const pa_sink_info* info, int eol, void* p) {
            auto* self = static_cast<PulseOutput*>(p);
            if (eol == 0 && info) {
                self->building_.push_back(
                    {QByteArray(info->name), QString::fromUtf8(info->description)});
                return;
            }
            self->listDone();
        },
        this);
    finishOrListDone(op);
}

void PulseOutput::finishOrListDone(pa_operation* op) {
    // A request the server cannot take counts as answered, so the list still completes.
    if (op)
        pa_operation_unref(op);
    else
        listDone();
}

void PulseOutput::listDone() {
    if (--pendingLists_ > 0) return;
    sinks_ = std::move(building_);
    building_.clear();
    defaultSink_ = buildingDefault_;
    generation_.fetch_add(1, std::memory_order_acq_rel);
    pa_threaded_mainloop_signal(loop_, 0);
    if (listAgain_) {
        listAgain_ = false;
        requestLists();
    }
}

void PulseOutput::dropContext() { closeContext(ctx_); }

bool PulseOutput::ensureConnected() {
    if (!loop_) startLoop();
    if (!loop_) return false;
    LoopLock lock(loop_);
    if (ctx_ && pa_context_get_state(ctx_) == PA_CONTEXT_READY) return true;
    // A failed connection is not kept: a restarted server is a new connection.
    dropContext();
    pa_mainloop_api* api = pa_threaded_mainloop_get_api(loop_);
    ctx_ = pa_context_new(api, "Vontalix");
    if (!ctx_) return false;
    pa_context_set_state_callback(ctx_, &PulseOutput::contextStateCb, this);
    if (pa_context_connect(ctx_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        dropContext();
        return false;
    }
    // A server that never answers must not hang the program: the wait ends at a deadline.
    bool timedOut = false;
    struct Deadline {
        bool* flag;
        pa_threaded_mainloop* loop;
    } deadline{&timedOut, loop_};
    pa_time_event* timer = pa_context_rttime_new(
        ctx_, pa_rtclock_now() + kConnectWaitUs,
        [](pa_mainloop_api*, pa_time_event*, const struct timeval*, void* p) {
            auto* d = static_cast<Deadline*>(p);
            *d->flag = true;
            pa_threaded_mainloop_signal(d->loop, 0);
        },
        &deadline);
    auto state = [&] { return pa_context_get_state(ctx_); };
    while (!timedOut && state() != PA_CONTEXT_READY && PA_CONTEXT_IS_GOOD(state()))
        pa_threaded_mainloop_wait(loop_);
    bool ok = state() == PA_CONTEXT_READY;
    if (ok) {
        pa_context_set_subscribe_callback(
            ctx_,
            [](pa_context*, pa_subscription_event_type_t, uint32_t, void* self) {
                static_cast<PulseOutput*>(self)->requestLists();
            },
            this);
        if (pa_operation* op =
                pa_context_subscribe(ctx_,
                                     static_cast<pa_subscription_mask_t>(
                                         PA_SUBSCRIPTION_MASK_SINK | PA_SUBSCRIPTION_MASK_SERVER),
                                     nullptr, nullptr))
            pa_operation_unref(op);
        listAgain_ = false;
        pendingLists_ = 0;
        requestLists();
        while (!timedOut && pendingLists_ > 0 && state() == PA_CONTEXT_READY)
            pa_threaded_mainloop_wait(loop_);
        ok = state() == PA_CONTEXT_READY && pendingLists_ == 0;
    }
    if (timer) api->time_free(timer);
    if (!ok) {
        dropContext();
        sinks_.clear();
        defaultSink_.clear();
        generation_.fetch_add(1, std::memory_order_acq_rel);
        return false;
    }
    ready_.store(true, std::memory_order_release);
    return true;
}

void PulseOutput::snapshot(std::vector<SinkEntry>& sinks, QByteArray& defaultSink) {
    sinks.clear();
    defaultSink.clear();
    if (!loop_) return;
    LoopLock lock(loop_);
    sinks = sinks_;
    defaultSink = defaultSink_;
}

DeviceRef PulseOutput::openDevice(int32_t id, const QByteArray& sinkName,
                                  const QString& description) {
    if (!loop_ || !connected()) return nullptr;
    auto d = std::make_shared<PulseDevice>(*this, id, description);
    {
        LoopLock lock(loop_);
        if (!ctx_ || pa_context_get_state(ctx_) != PA_CONTEXT_READY || !d->connect(sinkName))
            return nullptr;
    }
    return d;
}

void PulseOutput::shutdown() {
    if (!loop_) return;
    {
        LoopLock lock(loop_);
        for (PulseDevice* d : devices_) d->close();
        devices_.clear();
        dropContext();
        if (kickEvent_) {
            pa_mainloop_api* api = pa_threaded_mainloop_get_api(loop_);
            api->io_free(static_cast<pa_io_event*>(kickEvent_));
            kickEvent_ = nullptr;
        }
        ready_.store(false);
    }
    pa_threaded_mainloop_stop(loop_);
    pa_threaded_mainloop_free(loop_);
    loop_ = nullptr;
    if (kickFd_ >= 0) close(kickFd_);
    kickFd_ = -1;
}

}  // namespace media::detail
