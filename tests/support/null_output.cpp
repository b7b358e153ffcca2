#include "support/null_output.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <map>
#include <thread>

#include "media/device.h"
#include "media/output.h"

namespace media::testing {

static_assert(kNowhere == detail::kNowhereDevice);

namespace {

using detail::DeviceRef;

// Driven by advance(); keeps what it mixed while its device is present.
class NullDevice : public detail::Device {
  public:
    NullDevice(int32_t id, QByteArray systemId) : Device(id), systemId(std::move(systemId)) {}
    bool dead() const override { return gone; }
    QByteArray systemId;
    bool gone = false;
    std::vector<float> capture;
};

class NullOutput final : public detail::OutputBackend {
  public:
    explicit NullOutput(std::vector<QByteArray> systemIds) : ids_(std::move(systemIds)) {}

    bool ensureConnected() override { return !ids_.empty(); }
    uint64_t generation() const override { return generation_; }
    void snapshot(std::vector<detail::SinkEntry>& sinks, QByteArray& defaultSink) override {
        sinks.clear();
        for (const QByteArray& id : ids_) sinks.push_back({id, QString::fromUtf8(id)});
        defaultSink = ids_.empty() ? QByteArray() : ids_.front();
    }
    DeviceRef openDevice(int32_t id, const QByteArray& sinkName, const QString&) override {
        auto d = std::make_shared<NullDevice>(id, sinkName);
        devices_[id] = d;
        return d;
    }
    DeviceRef openNowhere() override {
        nowhere_ = std::make_shared<NullDevice>(kNowhere, QByteArray());
        return nowhere_;
    }
    void setLostCallback(detail::DeviceLostCallback cb) override { lost_ = std::move(cb); }
    void shutdown() override {
        devices_.clear();
        nowhere_.reset();
    }

    void setDevices(const std::vector<QByteArray>& systemIds) {
        ids_ = systemIds;
        ++generation_;
        for (auto& [id, d] : devices_) {
            if (d->gone ||
                std::find(systemIds.begin(), systemIds.end(), d->systemId) != systemIds.end())
                continue;
            d->gone = true;
            if (d->mixer().anyActive() && lost_) lost_(id, QString::fromUtf8(d->systemId));
        }
    }

    // The devices in use, the one that sounds nowhere last.
    std::vector<NullDevice*> all() const {
        std::vector<NullDevice*> devs;
        for (auto& [id, d] : devices_) devs.push_back(d.get());
        if (nowhere_) devs.push_back(nowhere_.get());
        return devs;
    }

    NullDevice* find(int32_t id) const {
        if (id == kNowhere) return nowhere_.get();
        if (id == 0) id = ids_.empty() ? 0 : deviceIdFor(ids_.front());
        auto it = devices_.find(id);
        return it == devices_.end() ? nullptr : it->second.get();
    }

  private:
    std::vector<QByteArray> ids_;
    uint64_t generation_ = 0;
    // The device opened last for each id.
    std::map<int32_t, std::shared_ptr<NullDevice>> devices_;
    std::shared_ptr<NullDevice> nowhere_;
    detail::DeviceLostCallback lost_;
};

// Owned by the output registry while installed.
NullOutput* installed = nullptr;

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

void useNullOutput(const std::vector<QByteArray>& systemIds) {
    auto backend = std::make_unique<NullOutput>(systemIds);
    NullOutput* b = backend.get();
    detail::installOutputBackend(std::move(backend));
    installed = b;
}

void useRealOutput() {
    detail::installOutputBackend(nullptr);
    installed = nullptr;
}

void setNullDevices(const std::vector<QByteArray>& systemIds) {
    if (installed) installed->setDevices(systemIds);
}

void advance(int frames, bool waitForDecoders) {
    if (!installed) return;
    constexpr int kBlock = kBlockFrames;
    const std::vector<NullDevice*> devs = installed->all();
    for (int done = 0; done < frames; done += kBlock) {
        for (NullDevice* d : devs) {
            if (waitForDecoders) waitForVoices(d->mixer());
            if (d->gone) {
                // A lost device: its voices go on, and nothing is heard.
                std::array<float, kBlock * 2> discard;
                d->mixer().render(discard.data(), kBlock);
                continue;
            }
            const size_t old = d->capture.size();
            d->capture.resize(old + kBlock * 2);
            d->mixer().render(d->capture.data() + old, kBlock);
        }
    }
}

std::vector<float> captured(int32_t id) {
    const NullDevice* d = installed ? installed->find(id) : nullptr;
    return d ? d->capture : std::vector<float>();
}

void clearCaptured() {
    if (!installed) return;
    for (NullDevice* d : installed->all()) d->capture.clear();
}

void pauseDecoding(bool paused) { detail::DecodePool::instance().setPaused(paused); }

}  // namespace media::testing
