#include "media/output.h"

#include <QCoreApplication>
#include <QThread>
#include <map>

#include "media/device.h"
#include "media/pulse_output.h"
#include "media/sound_log.h"

namespace media {

namespace detail {

namespace {

// Tracks whose device is missing play here, paced by the clock, heard nowhere.
class NowhereDevice : public Device {
  public:
    NowhereDevice() : Device(kNowhereDevice), pacer_(mixer_) { pacer_.start(); }
    ~NowhereDevice() override { shutdown(); }
    void shutdown() override { pacer_.stop(); }
    void wake() override { pacer_.wake(); }

  private:
    Pacer pacer_;
};

struct Retired {
    DeviceRef device;
    int slot;
    std::shared_ptr<Stream> stream;
};

struct Registry {
    // First, so they are destroyed last: devices below still talk to them as they go.
    PulseOutput pulse;
    std::unique_ptr<OutputBackend> installed;
    OutputBackend& backend() { return installed ? *installed : pulse; }
    std::map<int32_t, DeviceRef> devices;
    DeviceRef nowhere;
    std::vector<Retired> retired;
    std::function<void(int32_t)> unavailableHandler;
    std::function<void(int32_t, const QString&)> lostHandler;
    bool postRoutine = false;
    bool triedServer = false;
    // The device list as the UI thread last read it, and the server's list generation it is of.
    std::vector<OutputDevice> list;
    QByteArray defaultSink;
    uint64_t listGeneration = ~uint64_t{0};
};

Registry& registry() {
    static Registry r;
    return r;
}

void tellLost(int32_t id, const QString& name) {
    if (registry().lostHandler) registry().lostHandler(id, name);
}

// Any thread: the program is told on its own thread.
void deviceLost(int32_t id, const QString& name) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) return;
    if (QThread::currentThread() == app->thread())
        tellLost(id, name);
    else
        QMetaObject::invokeMethod(
            app, [id, name] { tellLost(id, name); }, Qt::QueuedConnection);
}

void shutdownAll() {
    Registry& r = registry();
    for (auto& [id, d] : r.devices) d->shutdown();
    if (r.nowhere) r.nowhere->shutdown();
    for (Retired& x : r.retired) x.device->shutdown();
    r.backend().shutdown();
    r.devices.clear();
    r.nowhere.reset();
    r.retired.clear();
    r.listGeneration = ~uint64_t{0};
    r.triedServer = false;
}

void ensureSetUp() {
    Registry& r = registry();
    if (r.postRoutine || !QCoreApplication::instance()) return;
    // Sound threads end before the application object, and with it the program's statics.
    qAddPostRoutine(shutdownAll);
    r.postRoutine = true;
    r.pulse.setLostCallback(deviceLost);
}

// The cached list, read again only when the server reported a change.
void refreshList() {
    Registry& r = registry();
    if (!r.triedServer) {
        // Once, for callers that play before anything asked for the devices.
        r.triedServer = true;
        ensureSetUp();
        r.backend().ensureConnected();
    }
    const uint64_t g = r.backend().generation();
    if (g == r.listGeneration) return;
    std::vector<SinkEntry> sinks;
    r.backend().snapshot(sinks, r.defaultSink);
    r.list.clear();
    for (const SinkEntry& s : sinks) {
        r.list.push_back({s.description, QString::fromUtf8(s.name), deviceIdFor(s.name)});
    }
    r.listGeneration = g;
}

const OutputDevice* listed(int32_t id) {
    for (const OutputDevice& d : registry().list)
        if (d.id == id) return &d;
    return nullptr;
}

int32_t defaultRoute() {
    refreshList();
    const QByteArray& d = registry().defaultSink;
    if (d.isEmpty()) return 0;
    const int32_t id = deviceIdFor(d);
    return listed(id) ? id : 0;
}

void forgetDeadDevices() {
    std::erase_if(registry().devices, [](const auto& entry) {
        if (!entry.second->dead()) return false;
        qCDebug(soundLog) << "device" << entry.first << "went away: opened again when used";
        return true;
    });
}

}  // namespace

DeviceRef deviceForRoute(int32_t route, bool* available) {
    Registry& r = registry();
    ensureSetUp();
    const int32_t id = route == 0 ? defaultRoute() : route;
    if (id != 0) {
        // A device that went away keeps its place until the next Play: what is routed to it
        // plays on silently there rather than moving to another output.
        auto it = r.devices.find(id);
        if (it != r.devices.end()) {
            *available = true;
            return it->second;
        }
        refreshList();
        if (const OutputDevice* found = listed(id)) {
            if (DeviceRef d = r.backend().openDevice(id, found->info.toUtf8(), found->name)) {
                r.devices.emplace(id, d);
                *available = true;
                return d;
            }
        }
    }
    *available = false;
    if (!r.nowhere) r.nowhere = r.backend().openNowhere();
    return r.nowhere;
}

void reportUnavailableRoute(int32_t route) {
    if (registry().unavailableHandler) registry().unavailableHandler(route);
}

void retire(DeviceRef device, int slot, std::shared_ptr<Stream> stream, int64_t at) {
    if (slot < 0) return;
    device->mixer().slot(slot).stopAt.store(at, std::memory_order_relaxed);
    device->mixer().slot(slot).stopRequested.store(true, std::memory_order_release);
    // A device resting with only held voices runs again to mark this one done.
    device->wake();
    registry().retired.push_back({std::move(device), slot, std::move(stream)});
}

void reclaim() {
    auto& list = registry().retired;
    const auto freed = std::erase_if(list, [](Retired& r) {
        Mixer::Slot& s = r.device->mixer().slot(r.slot);
        if (s.state.load(std::memory_order_acquire) != Mixer::Done) return false;
        r.stream->cancelled.store(true);
        s.stream = nullptr;
        s.state.store(Mixer::Free, std::memory_order_release);
        return true;
    });
    if (freed > 0) DecodePool::instance().wake();  // the workers let go of those streams
}

DeviceRef OutputBackend::openNowhere() { return std::make_shared<NowhereDevice>(); }

void installOutputBackend(std::unique_ptr<OutputBackend> backend) {
    reclaim();
    shutdownAll();
    Registry& r = registry();
    r.retired.clear();
    r.installed = std::move(backend);
    if (r.installed) r.installed->setLostCallback(deviceLost);
}

}  // namespace detail

DeviceId deviceIdFor(const QByteArray& systemId) {
    // FNV-1a: fixed, so a device keeps its id from run to run.
    uint32_t h = 2166136261u;
    for (char c : systemId) {
        h ^= static_cast<uint8_t>(c);
        h *= 16777619u;
    }
    h &= 0x7fffffffu;
    return h == 0 ? 1 : static_cast<int32_t>(h);
}

std::vector<OutputDevice> outputDevices() {
    auto& r = detail::registry();
    if (QCoreApplication::instance()) {
        detail::ensureSetUp();
        r.triedServer = true;
        r.backend().ensureConnected();
    }
    detail::refreshList();
    return r.list;
}

void refreshOutputs() {
    auto& r = detail::registry();
    if (QCoreApplication::instance()) {
        detail::ensureSetUp();
        r.triedServer = true;
        const uint64_t before = r.backend().generation();
        const bool connected = r.backend().ensureConnected();
        if (r.backend().generation() != before)
            qCDebug(soundLog) << (connected ? "sound server connected" : "no sound server");
    }
    detail::forgetDeadDevices();
    detail::refreshList();
}

bool routeAvailable(int32_t id) {
    if (id == 0) return detail::defaultRoute() != 0;
    detail::refreshList();
    return detail::listed(id) != nullptr;
}

void setUnavailableRouteHandler(std::function<void(int32_t)> handler) {
    detail::registry().unavailableHandler = std::move(handler);
}

void setDeviceLostHandler(std::function<void(int32_t, const QString&)> handler) {
    detail::registry().lostHandler = std::move(handler);
}

}  // namespace media
