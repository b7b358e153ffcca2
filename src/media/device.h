#pragma once
// Inside of the output side: devices with their mixers, the backend that opens them, the decoder
// workers, and the voices that are fading out. UI thread unless said otherwise.

#include <QByteArray>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "media/decode_pool.h"
#include "media/doorbell.h"
#include "media/mixer.h"

namespace media::detail {

// Mixes a mixer at the pace of the clock and drops the sound, on a thread of its own: the mixer
// of tracks whose device is missing, and of a device that went away, so their players keep time.
// Sleeps long while the mixer has no voice.
class Pacer {
  public:
    explicit Pacer(Mixer& m) : mixer_(m) {}
    ~Pacer() { stop(); }
    void start();  // any thread; pacing counts from now
    void wake();   // any thread: a voice was added
    void stop();

  private:
    void run();
    Mixer& mixer_;
    std::thread thread_;
    // Rung by wake() and stop() without a lock (the tick may wake it); a ring that comes while
    // the thread decides to sleep is not lost.
    Doorbell bell_;
    std::atomic<bool> quit_{false};
};

class Device {
  public:
    explicit Device(int32_t id) : id_(id) {}
    virtual ~Device() = default;
    int32_t id() const { return id_; }
    Mixer& mixer() { return mixer_; }
    virtual void shutdown() {}
    // UI thread, after a voice was added: a device that rests starts again.
    virtual void wake() {}
    // The device went away: its voices play on silently, and it is never used for a new Play.
    virtual bool dead() const { return false; }
    // Seconds of sound queued in the device ahead of the block mixed last (device thread).
    std::atomic<double> queuedSeconds{0};

  protected:
    int32_t id_;
    Mixer mixer_;
};

using DeviceRef = std::shared_ptr<Device>;

// The id of the device that sounds nowhere: where tracks whose device is missing play.
constexpr int32_t kNowhereDevice = -1;

struct SinkEntry {
    QByteArray name;  // the system's device id
    QString description;
};

// Called when a device with voices playing goes away, on the UI thread or the backend's own.
using DeviceLostCallback = std::function<void(int32_t id, const QString& name)>;

// The system's sound devices and the streams into them: the sound server, unless another backend
// was installed in its place. UI thread unless said otherwise.
class OutputBackend {
  public:
    virtual ~OutputBackend() = default;
    // Connects when there is no live connection; false when there is no server.
    virtual bool ensureConnected() = 0;
    // Bumped whenever the device list or the default device changes (or the connection is lost).
    virtual uint64_t generation() const = 0;
    // The devices in the system's order, and the default one's id (empty without one).
    virtual void snapshot(std::vector<SinkEntry>& sinks, QByteArray& defaultSink) = 0;
    // A device playing into the named one; nullptr when it cannot be opened.
    virtual DeviceRef openDevice(int32_t id, const QByteArray& sinkName,
                                 const QString& description) = 0;
    // The device that sounds nowhere; by default paced by the clock on a thread of its own.
    virtual DeviceRef openNowhere();
    virtual void setLostCallback(DeviceLostCallback cb) = 0;
    // Ends every stream; nothing is rendered afterwards.
    virtual void shutdown() = 0;
};

// Puts a backend in place of the sound server (nullptr: the sound server again). Every device
// in use is shut down first: call with no player sounding.
void installOutputBackend(std::unique_ptr<OutputBackend> backend);

// The mixer a track routed to `route` plays in: the device's, or the one that sounds nowhere.
// *available tells which.
DeviceRef deviceForRoute(int32_t route, bool* available);
void reportUnavailableRoute(int32_t route);

// A voice being faded out (from the block holding device frame `at`, 0 at once); its slot is
// freed (and its stream released) once the mixer is done.
void retire(DeviceRef device, int slot, std::shared_ptr<Stream> stream, int64_t at = 0);
void reclaim();

}  // namespace media::detail
