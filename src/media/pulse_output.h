#pragma once
// The real sound output: one connection to the sound server on its own thread, the server's list
// of sinks kept current by its change events, and one playback stream per device whose write
// requests are answered by the device's mixer. A connection that fails (the server stopped or
// restarted) is made again by the next ensureConnected().

#include <pulse/operation.h>

#include <QByteArray>
#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "media/device.h"

struct pa_threaded_mainloop;
struct pa_context;

namespace media::detail {

class PulseOutput final : public OutputBackend {
  public:
    PulseOutput() = default;
    ~PulseOutput() override;
    PulseOutput(const PulseOutput&) = delete;
    PulseOutput& operator=(const PulseOutput&) = delete;

    // UI thread. Connects when there is no live connection, and reads the sink list the first
    // time; false when there is no server.
    bool ensureConnected() override;
    bool connected() const { return ready_.load(std::memory_order_acquire); }

    // Bumped whenever the sink list or the default sink changes (or the connection is lost).
    uint64_t generation() const override { return generation_.load(std::memory_order_acquire); }
    void snapshot(std::vector<SinkEntry>& sinks, QByteArray& defaultSink) override;

    // UI thread: a device playing into the named sink; nullptr without a connection.
    DeviceRef openDevice(int32_t id, const QByteArray& sinkName,
                         const QString& description) override;

    // The callback runs on the sound server's thread.
    void setLostCallback(DeviceLostCallback cb) override { lost_ = std::move(cb); }

    // Ends every stream and the server's thread; nothing is rendered afterwards.
    void shutdown() override;

  private:
    friend class PulseDevice;
    void startLoop();
    void dropContext();
    void requestLists();
    void listDone();
    void finishOrListDone(pa_operation* op);
    void onContextState();
    void onKick();
    void kick();
    static void contextStateCb(pa_context* c, void* self);

    pa_threaded_mainloop* loop_ = nullptr;
    pa_context* ctx_ = nullptr;
    int kickFd_ = -1;
    void* kickEvent_ = nullptr;
    // Guarded by the loop's lock.
    std::vector<SinkEntry> sinks_, building_;
    QByteArray defaultSink_, buildingDefault_;
    int pendingLists_ = 0;
    bool listAgain_ = false;
    std::vector<class PulseDevice*> devices_;
    DeviceLostCallback lost_;
    // The longest request a stream's queue needed so far (bytes; 0: none grew yet): streams
    // opened later start there.
    uint32_t requestBytes_ = 0;

    std::atomic<uint64_t> generation_{0};
    std::atomic<bool> ready_{false};
};

}  // namespace media::detail
