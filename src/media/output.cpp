#include "media/output.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMediaDevices>
#include <QThread>
#include <QTimer>
#include <chrono>
#include <map>
#include <thread>

#include "media/device.h"
#include "media/realtime.h"

namespace media {

namespace detail {

namespace {

constexpr double kSinkBufferSeconds = 0.05;

// Mixes at the pace of the clock and drops the sound: the mixer of tracks whose device is
// missing, and of a device whose output failed. Their players keep their timing.
class PacedOutput {
  public:
    void start() {
        clock_.start();
        paced_ = 0;
    }
    void pump(Mixer& m) {
        const int64_t due = clock_.nsecsElapsed() * kMixRate / 1000000000;
        while (paced_ + kBlockFrames <= due) {
            m.render(buf_.data(), kBlockFrames);
            paced_ += kBlockFrames;
        }
    }

  private:
    QElapsedTimer clock_;
    int64_t paced_ = 0;
    std::array<float, kBlockFrames * 2> buf_{};
};

// A device thread with its own event loop feeding a push-mode QAudioSink; without a working
// sink it mixes paced by the clock.
class SinkDevice : public Device, public QThread {
  public:
    SinkDevice(int32_t id, QAudioDevice dev) : Device(id), dev_(std::move(dev)) {
        QThread::start(QThread::TimeCriticalPriority);
    }
    ~SinkDevice() override { shutdown(); }
    void shutdown() override {
        quit();
        wait();
    }

  protected:
    void run() override {
        boostSoundThread();  // a late block is a dropout
        std::unique_ptr<QAudioSink> sink;
        QIODevice* io = nullptr;
        bool floatFormat = true;
        if (!dev_.isNull()) {
            QAudioFormat fmt;
            fmt.setSampleRate(kMixRate);
            fmt.setChannelCount(kMixChannels);
            fmt.setSampleFormat(QAudioFormat::Float);
            if (!dev_.isFormatSupported(fmt)) {
                fmt.setSampleFormat(QAudioFormat::Int16);
                floatFormat = false;
            }
            sink = std::make_unique<QAudioSink>(dev_, fmt);
            sink->setBufferSize(fmt.bytesForDuration(int64_t(kSinkBufferSeconds * 1e6)));
            io = sink->start();
            if (!io || sink->error() != QAudio::NoError) {
                io = nullptr;
                sink.reset();
            }
        }
        const int frameBytes = kMixChannels * (floatFormat ? 4 : 2);
        const int blockBytes = kBlockFrames * frameBytes;
        std::array<float, kBlockFrames * 2> block{};
        std::array<int16_t, kBlockFrames * 2> block16{};
        PacedOutput paced;
        paced.start();

        QTimer timer;
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (sink && sink->error() != QAudio::NoError) {
                // The device went away: from now on this device sounds nowhere.
                sink.reset();
                io = nullptr;
                paced.start();
            }
            if (!sink) {
                paced.pump(mixer_);
                return;
            }
            qint64 free = sink->bytesFree();
            while (free >= blockBytes) {
                queuedSeconds.store(
                    double(sink->bufferSize() - free) / (frameBytes * double(kMixRate)),
                    std::memory_order_relaxed);
                mixer_.render(block.data(), kBlockFrames);
                const char* data = reinterpret_cast<const char*>(block.data());
                if (!floatFormat) {
                    for (size_t i = 0; i < block.size(); ++i)
                        block16[i] = int16_t(std::clamp(block[i], -1.0f, 1.0f) * 32767.0f);
                    data = reinterpret_cast<const char*>(block16.data());
                }
                if (io->write(data, blockBytes) < blockBytes) break;
                free -= blockBytes;
            }
        });
        timer.start(4);
        exec();
        timer.stop();
        if (sink) sink->stop();
    }

  private:
    QAudioDevice dev_;
};

// The same pacing on a plain thread, for tracks routed to a device that is not there.
class NowhereDevice : public Device {
  public:
    NowhereDevice() : Device(testing::kNowhere) {
        thread_ = std::thread([this] {
            PacedOutput paced;
            paced.start();
            while (!quit_.load()) {
                paced.pump(mixer_);
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        });
    }
    ~NowhereDevice() override { shutdown(); }
    void shutdown() override {
        quit_ = true;
        if (thread_.joinable()) thread_.join();
    }

  private:
    std::thread thread_;
    std::atomic<bool> quit_{false};
};

// Driven by testing::advance(); keeps what it mixed.
class NullDevice : public Device {
  public:
    using Device::Device;
    std::vector<float> capture;
};

struct Retired {
    DeviceRef device;
    int slot;
    std::shared_ptr<Stream> stream;
};

struct Registry {
    bool nullMode = false;
    std::vector<QByteArray> nullIds;
    std::map<int32_t, DeviceRef> devices;
    DeviceRef nowhere;
    std::vector<Retired> retired;
    std::function<void(int32_t)> unavailableHandler;
    bool postRoutine = false;
};

Registry& registry() {
    static Registry r;
    return r;
}

void shutdownAll() {
    Registry& r = registry();
    for (auto& [id, d] : r.devices) d->shutdown();
    if (r.nowhere) r.nowhere->shutdown();
    r.devices.clear();
    r.nowhere.reset();
}

int32_t defaultRoute() {
    Registry& r = registry();
    if (r.nullMode) return r.nullIds.empty() ? 0 : deviceIdFor(r.nullIds.front());
    if (!QCoreApplication::instance()) return 0;
    const QAudioDevice d = QMediaDevices::defaultAudioOutput();
    return d.isNull() ? 0 : deviceIdFor(d.id());
}

}  // namespace

DeviceRef deviceForRoute(int32_t route, bool* available) {
    Registry& r = registry();
    if (!r.postRoutine && QCoreApplication::instance()) {
        qAddPostRoutine(shutdownAll);  // device threads end before the application object
        r.postRoutine = true;
    }
    const int32_t id = route == 0 ? defaultRoute() : route;
    *available = id != 0 && routeAvailable(id);
    if (!*available) {
        if (!r.nowhere) {
            if (r.nullMode)
                r.nowhere = std::make_shared<NullDevice>(testing::kNowhere);
            else
                r.nowhere = std::make_shared<NowhereDevice>();
        }
        return r.nowhere;
    }
    auto it = r.devices.find(id);
    if (it != r.devices.end()) return it->second;
    DeviceRef d;
    if (r.nullMode) {
        d = std::make_shared<NullDevice>(id);
    } else {
        QAudioDevice found;
        for (const QAudioDevice& a : QMediaDevices::audioOutputs())
            if (deviceIdFor(a.id()) == id) found = a;
        d = std::make_shared<SinkDevice>(id, found);
    }
    r.devices.emplace(id, d);
    return d;
}

void reportUnavailableRoute(int32_t route) {
    if (registry().unavailableHandler) registry().unavailableHandler(route);
}

void retire(DeviceRef device, int slot, std::shared_ptr<Stream> stream) {
    if (slot < 0) return;
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
    std::vector<OutputDevice> out;
    auto& r = detail::registry();
    if (r.nullMode) {
        for (const QByteArray& id : r.nullIds)
            out.push_back({QString::fromUtf8(id), QString::fromUtf8(id), deviceIdFor(id)});
        return out;
    }
    if (!QCoreApplication::instance()) return out;
    for (const QAudioDevice& d : QMediaDevices::audioOutputs())
        out.push_back({d.description(), QString::fromUtf8(d.id()), deviceIdFor(d.id())});
    return out;
}

bool routeAvailable(int32_t id) {
    if (id == 0) return detail::defaultRoute() != 0;
    for (const OutputDevice& d : outputDevices())
        if (d.id == id) return true;
    return false;
}

void setUnavailableRouteHandler(std::function<void(int32_t)> handler) {
    detail::registry().unavailableHandler = std::move(handler);
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
