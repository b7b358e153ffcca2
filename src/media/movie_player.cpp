#include "media/movie_player.h"

#include <algorithm>
#include <cmath>

#include "media/device.h"

namespace media {

namespace {
constexpr int kRingFrames = 32768;  // about 0.7 s; the workers keep it nearly full
float gainFor(int volume) { return static_cast<float>(volume) / 256.0f; }
}  // namespace

MoviePlayer::~MoviePlayer() { setMovie(nullptr); }

void MoviePlayer::setMovie(MovieRef m) {
    detail::reclaim();
    if (m == movie_) return;
    endVoices();
    playing_ = false;
    position_ = 0;
    if (movie_) std::erase(movie_->players_, this);
    movie_ = std::move(m);
    if (movie_) movie_->players_.push_back(this);
}

MoviePlayer::Voice MoviePlayer::startVoice(int track, double at) {
    Voice v;
    v.track = track;
    v.startSeconds = at;
    const Movie::Track& t = movie_->tracks()[track - 1];
    bool available = false;
    v.device = detail::deviceForRoute(t.soundOutput, &available);
    if (!available) detail::reportUnavailableRoute(t.soundOutput);
    v.stream = std::make_shared<Stream>(kRingFrames);
    v.stream->path = movie_->path();
    v.stream->streamIndex = t.stream;
    v.stream->decoder.setFrameIndex(movie_->frameIndexSlot());
    v.stream->startSeconds = at;
    v.stream->endFrame = movie_->durationFrames();
    v.slot = v.device->mixer().addVoice(v.stream.get(), gainFor(volume_));
    if (v.slot < 0) {
        v.stream->cancelled = true;  // all slots busy: this track stays silent
    } else {
        detail::DecodePool::instance().add(v.stream);
        v.device->wake();
    }
    return v;
}

void MoviePlayer::endVoices() {
    for (Voice& v : voices_) {
        if (v.slot < 0) continue;
        detail::retire(v.device, v.slot, v.stream);
    }
    voices_.clear();
}

void MoviePlayer::Play() {
    detail::reclaim();
    if (!movie_ || playing_) return;
    update();
    if (playing_) return;
    for (int i = 1; i <= movie_->TrackCount(); ++i)
        if (movie_->tracks()[i - 1].mediaType == QLatin1String("soun"))
            voices_.push_back(startVoice(i, position_));
    playing_ = true;
}

void MoviePlayer::Stop() {
    detail::reclaim();
    if (!playing_) return;
    position_ = Position();
    endVoices();
    playing_ = false;
}

double MoviePlayer::voicePosition(const Voice& v) const {
    if (v.slot < 0) return v.startSeconds;
    const int64_t played =
        v.device->mixer().slot(v.slot).framesPlayed.load(std::memory_order_acquire);
    return v.startSeconds + static_cast<double>(played) / kMixRate;
}

void MoviePlayer::update() const {
    if (!playing_ || voices_.empty()) return;
    for (const Voice& v : voices_) {
        if (v.slot < 0) continue;
        auto& s = v.device->mixer().slot(v.slot);
        if (s.state.load(std::memory_order_acquire) != Mixer::Done ||
            !s.playedOut.load(std::memory_order_acquire))
            return;
    }
    // Every track has played out: the player stops by itself, at the end.
    position_ = voicePosition(voices_.front());
    for (Voice& v : voices_) {
        if (v.slot < 0) continue;
        auto& s = v.device->mixer().slot(v.slot);
        v.stream->cancelled = true;
        s.stream = nullptr;
        s.state.store(Mixer::Free, std::memory_order_release);
    }
    voices_.clear();
    playing_ = false;
}

double MoviePlayer::Rate() const {
    update();
    return playing_ ? 1.0 : 0.0;
}

double MoviePlayer::Position() const {
    update();
    if (!playing_ || voices_.empty()) return position_;
    return voicePosition(voices_.front());
}

void MoviePlayer::setPosition(double seconds) {
    detail::reclaim();
    if (!movie_) return;
    if (!(seconds > 0)) seconds = 0;  // also NaN
    seconds = std::min(seconds, movie_->Duration());
    update();
    position_ = seconds;
    if (playing_) {
        endVoices();
        playing_ = false;
        Play();
    }
}

void MoviePlayer::setVolume(int v) {
    volume_ = std::clamp(v, 0, 256);
    for (const Voice& voice : voices_)
        if (voice.slot >= 0)
            voice.device->mixer()
                .slot(voice.slot)
                .targetGain.store(gainFor(volume_), std::memory_order_relaxed);
}

void MoviePlayer::trackRerouted(int trackIndex) {
    detail::reclaim();
    update();
    if (!playing_) return;
    for (Voice& v : voices_) {
        if (v.track != trackIndex) continue;
        const double at = voicePosition(v);
        if (v.slot >= 0) detail::retire(v.device, v.slot, v.stream);
        v = startVoice(trackIndex, at);
    }
}

testing::FirstSound MoviePlayer::firstSound() const {
    testing::FirstSound f;
    if (voices_.empty() || voices_.front().slot < 0) return f;
    const Voice& v = voices_.front();
    auto& s = v.device->mixer().slot(v.slot);
    f.sounded = s.sounded.load(std::memory_order_acquire);
    f.mixedAtNs = s.firstSoundNs.load(std::memory_order_relaxed);
    f.queuedSeconds = v.device->queuedSeconds.load(std::memory_order_relaxed);
    return f;
}

}  // namespace media
