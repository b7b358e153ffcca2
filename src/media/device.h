#pragma once
// Inside of the output side: devices with their mixers, the decoder workers, and the voices
// that are fading out. UI thread unless said otherwise.

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "media/decode_pool.h"
#include "media/mixer.h"

namespace media::detail {

class Device {
  public:
    explicit Device(int32_t id) : id_(id) {}
    virtual ~Device() = default;
    int32_t id() const { return id_; }
    Mixer& mixer() { return mixer_; }
    virtual void shutdown() {}
    // Seconds of sound queued in the device ahead of the block mixed last (device thread).
    std::atomic<double> queuedSeconds{0};

  protected:
    int32_t id_;
    Mixer mixer_;
};

using DeviceRef = std::shared_ptr<Device>;

// The mixer a track routed to `route` plays in: the device's, or the one that sounds nowhere.
// *available tells which.
DeviceRef deviceForRoute(int32_t route, bool* available);
void reportUnavailableRoute(int32_t route);

// A voice being faded out; its slot is freed (and its stream released) once the mixer is done.
void retire(DeviceRef device, int slot, std::shared_ptr<Stream> stream);
void reclaim();

}  // namespace media::detail
