#pragma once
// The system output volume (the default PulseAudio sink's), kept up to date by a thread of its
// own: reading it gives the last known value at once, setting it returns at once, and handlers
// hear on the UI thread when the server's answer or a change made elsewhere arrives. Without a
// sound server the value lives in the process.

#include <pulse/pulseaudio.h>

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace media {

class SystemVolume {
  public:
    // server: a PulseAudio server address; empty for the one the environment names.
    explicit SystemVolume(QByteArray server = {});
    ~SystemVolume();
    SystemVolume(const SystemVolume&) = delete;
    SystemVolume& operator=(const SystemVolume&) = delete;

    // 0..1; before the server's first answer (or without a server) the value kept here.
    double value();
    // Clamped to 0..1; NaN is ignored. Takes effect here at once and on the server soon.
    void set(double v);
    // UI thread; ends when context is destroyed.
    void onChanged(QObject* context, std::function<void(double)> handler);

    // Whether the server has answered at least once (for tests).
    bool heardFromServer() const { return heard_.load(); }

  private:
    void run();
    void connect();
    void dropConnection();
    void query();
    void sendPending();
    void publish(double v);   // sound thread: a value from the server
    void dispatch(double v);  // UI thread
    void requestConnection();
    void wake();  // any thread: the sound thread looks at the flags again

    static void onState(pa_context* c, void* self);
    static void onEvent(pa_context* c, pa_subscription_event_type_t type, uint32_t index,
                        void* self);
    static void onSinkInfo(pa_context* c, const pa_sink_info* info, int eol, void* self);
    static void onSetDone(pa_context* c, int success, void* self);

    const QByteArray server_;
    std::atomic<double> value_{1.0};
    std::atomic<double> pending_;  // NaN: nothing to send
    std::atomic<bool> quit_{false};
    std::atomic<uint64_t> wakes_{0};  // counts wake() calls, so none is lost (see run)
    std::atomic<bool> connectWanted_{true};
    std::atomic<bool> connected_{false};
    std::atomic<bool> heard_{false};

    // Sound thread only.
    pa_mainloop* loop_ = nullptr;
    pa_context* ctx_ = nullptr;
    bool querying_ = false, queryAgain_ = false;
    int setsInFlight_ = 0;
    int channels_ = 0;  // of the default sink, once known
    int64_t lastAttemptMs_ = -1000000;
    bool heardBefore_ = false;

    // Lives on the UI thread: answers queued to it are dropped with it.
    std::unique_ptr<QObject> uiSide_;
    // UI thread only.
    std::vector<std::pair<QPointer<QObject>, std::function<void(double)>>> handlers_;

    std::thread thread_;
};

}  // namespace media
