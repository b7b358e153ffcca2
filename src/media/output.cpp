#include "media/output.h"

#include <QCoreApplication>
#include <algorithm>
#include <array>
#include <chrono>
#include <map>
#include <thread>

#include "media/device.h"
#include "media/pulse_output.h"

namespace media {

namespace detail {

namespace {

// Tracks whose device is missing play here, paced by the clock, heard nowhere.
class NowhereDevice : public Device {
  public:
    NowhereDevice() : Device(testing::kNowhere), pacer_(mixer_) { pacer_.start(); }
    ~NowhereDevice() override { shutdown(); }
    void shutdown() override { pacer_.stop(); }
    void wake() override { pacer_.wake(); }

  private:
    Pacer pacer_;
};

// Driven by testing::advance(); keeps what it mixed while its device is present.
class NullDevice : public Device {
  public:
    NullDevice(int32_t id, QByteArray systemId) : Device(id), systemId(std::move(systemId)) {}
    bool dead() const override { return gone; }
    QByteArray systemId;
    bool gone = false;
    std::vector<float> capture;
};

struct Retired {
    DeviceRef device;
    int slot;
    std::shared_ptr<Stream> stream;
};

struct Registry {
    // First, so it is destroyed last: devices below still talk to it as they go.
    PulseOutput pulse;
    bool nullMode = false;
    std::vector<QByteArray> nullIds;
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

void shutdownAll() {
    Registry& r = registry();
    for (auto& [id, d] : r.devices) d->shutdown();
    if (r.nowhere) r.nowhere->shutdown();
    for (Retired& x : r.retired) x.device->shutdown();
    r.pulse.shutdown();
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
    // The server's thread hears of a lost device; the program is told on its own thread.
    r.pulse.setLostCallback([](int32_t id, const QString& name) {
        if (QCoreApplication* app = QCoreApplication::instance())
            QMetaObject::invokeMethod(
                app, [id, name] { tellLost(id, name); }, Qt::QueuedConnection);
    });
}

// The cached list, read again only when the server reported a change.
void refreshList() {
    Registry& r = registry();
    if (r.nullMode) {
        r.list.clear();
        for (const QByteArray& id : r.nullIds)
            r.list.push_back({QString::fromUtf8(id), QString::fromUtf8(id), deviceIdFor(id)});
        r.defaultSink = r.nullIds.empty() ? QByteArray() : r.nullIds.front();
        return;
    }
    if (!r.triedServer) {
        // Once, for callers that play before anything asked for the devices.
        r.triedServer = true;
        ensureSetUp();
        r.pulse.ensureConnected();
    }
    const uint64_t g = r.pulse.generation();
    if (g == r.listGeneration) return;
    std::vector<SinkEntry> sinks;
    r.pulse.snapshot(sinks, r.defaultSink);
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
    std::erase_if(registry().devices, [](const auto& entry) { return entry.second->dead(); });
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
            DeviceRef d;
            if (r.nullMode)
                d = std::make_shared<NullDevice>(id, found->info.toUtf8());
            else
                d = r.pulse.openDevice(id, found->info.toUtf8(), found->name);
            if (d) {
                r.devices.emplace(id, d);
                *available = true;
                return d;
            }
        }
    }
    *available = false;
    if (!r.nowhere) {
        if (r.nullMode)
            r.nowhere = std::make_shared<NullDevice>(testing::kNowhere, QByteArray());
        else
            r.nowhere = std::make_shared<NowhereDevice>();
    }
    return r.nowhere;
}

void reportUnavailableRoute(int32_t route) {
    if (registry().unavailableHandler) registry().unavailableHandler(route);
}

void retire(DeviceRef device, int slot, std::shared_ptr<Stream> stream, int64_t at) {
    if (slot < 0) return;
    device->mixer().slot(slot).stopAt.store(at, std::memory_order_relaxed);
    device->mixer().slot(slot).stopRequested.store(true, std::memory_order_release);
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

}  // namespace detail

int32_t deviceIdFor(const QByteArray& systemId) {
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
    if (!r.nullMode && QCoreApplication::instance()) {
        detail::ensureSetUp();
        r.triedServer = true;
        r.pulse.ensureConnected();
    }
    detail::refreshList();
    return r.list;
}

void refreshOutputs() {
    auto& r = detail::registry();
    if (!r.nullMode && QCoreApplication::instance()) {
        detail::ensureSetUp();
        r.triedServer = true;
        r.pulse.ensureConnected();
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

namespace testing {

void useNullOutput(const std::vector<QByteArray>& systemIds) {
    detail::reclaim();
    detail::shutdownAll();
    auto& r = detail::registry();
    r.retired.clear();
    r.nullMode = true;
    r.nullIds = systemIds;
}

void useRealOutput() {
    detail::reclaim();
    detail::shutdownAll();
    auto& r = detail::registry();
    r.retired.clear();
    r.nullMode = false;
}

void setNullDevices(const std::vector<QByteArray>& systemIds) {
    auto& r = detail::registry();
    if (!r.nullMode) return;
    r.nullIds = systemIds;
    for (auto& [id, d] : r.devices) {
        auto* n = static_cast<detail::NullDevice*>(d.get());
        if (n->gone ||
            std::find(systemIds.begin(), systemIds.end(), n->systemId) != systemIds.end())
            continue;
        n->gone = true;
        if (n->mixer().anyActive()) detail::tellLost(id, QString::fromUtf8(n->systemId));
    }
}

namespace {

void waitForVoices(Mixer& m) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (int i = 0; i < kMaxVoices; ++i) {
        Mixer::Slot& s = m.slot(i);
        if (s.state.load(std::memory_order_acquire) != Mixer::Active) continue;
        while (s.stream->ring.available() < kBlockFrames && !s.stream->finished.load() &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
}

}  // namespace

void advance(int frames, bool waitForDecoders) {
    auto& r = detail::registry();
    std::vector<detail::NullDevice*> devs;
    for (auto& [id, d] : r.devices) devs.push_back(static_cast<detail::NullDevice*>(d.get()));
    if (r.nowhere) devs.push_back(static_cast<detail::NullDevice*>(r.nowhere.get()));
    if (!r.nullMode) return;
    for (int done = 0; done < frames; done += kBlockFrames) {
        for (detail::NullDevice* d : devs) {
            if (waitForDecoders) waitForVoices(d->mixer());
            if (d->gone) {
                // A lost device: its voices go on, and nothing is heard.
                std::array<float, kBlockFrames * 2> discard;
                d->mixer().render(discard.data(), kBlockFrames);
                continue;
            }
            const size_t old = d->capture.size();
            d->capture.resize(old + kBlockFrames * 2);
            d->mixer().render(d->capture.data() + old, kBlockFrames);
        }
    }
}

std::vector<float> captured(int32_t id) {
    auto& r = detail::registry();
    if (!r.nullMode) return {};
    if (id == kNowhere)
        return r.nowhere ? static_cast<detail::NullDevice*>(r.nowhere.get())->capture
                         : std::vector<float>();
    if (id == 0) id = detail::defaultRoute();
    auto it = r.devices.find(id);
    return it == r.devices.end() ? std::vector<float>()
                                 : static_cast<detail::NullDevice*>(it->second.get())->capture;
}

void clearCaptured() {
    auto& r = detail::registry();
    if (!r.nullMode) return;
    for (auto& [id, d] : r.devices) static_cast<detail::NullDevice*>(d.get())->capture.clear();
    if (r.nowhere) static_cast<detail::NullDevice*>(r.nowhere.get())->capture.clear();
}

void pauseDecoding(bool paused) { detail::DecodePool::instance().setPaused(paused); }

}  // namespace testing

}  // namespace media
