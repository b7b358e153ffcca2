#include "media/movie_player.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "media/device.h"
#include "media/file_access.h"
#include "media/sound_log.h"

namespace media {

namespace {
constexpr int kRingFrames = 32768;  // about 0.7 s; the workers keep it nearly full
float gainFor(int volume) { return static_cast<float>(volume) / 256.0f; }

// A start in step with `lock`: at the lock's frame once its anchor has begun, else that many
// frames after the anchor's first one, whenever it comes.
void lockStart(const StartLock& lock, VoiceStart& start) {
    if (lock.begunAt >= 0) {
        start.kind = VoiceStart::AtFrame;
        start.frame = lock.startFrame();
    } else {
        start.kind = VoiceStart::AfterAnchor;
        start.anchor = lock.slot;
        start.anchorGeneration = lock.generation;
        start.offset = lock.offsetFrames();
    }
}
// Starts held back while a StartTogether lives: UI thread only, a fixed table (the tick must
// not allocate).
struct HeldBack {
    detail::DeviceRef device;
    int slot = -1;
    uint32_t generation = 0;
    VoiceStart start;
};
struct Together {
    int depth = 0;
    int count = 0;
    std::array<HeldBack, 2 * kMaxVoices> held;
};
Together together;

// Lets a held voice begin as `start` says: now, or, while starts are taken together, when the
// last StartTogether ends (false: the table is full, let it go now).
bool holdBack(const detail::DeviceRef& device, int slot, const VoiceStart& start) {
    if (together.depth == 0 || together.count == static_cast<int>(together.held.size()))
        return false;
    together.held[together.count++] = {
        device, slot, device->mixer().slot(slot).generation.load(std::memory_order_relaxed), start};
    return true;
}

void releaseNow(const detail::DeviceRef& device, int slot, const VoiceStart& start) {
    device->mixer().release(slot, start);
    device->wake();  // a device that plays puts it into its queued silence
}

const char* lockText(const StartLock& lock) {
    if (!lock.valid()) return "held";
    return lock.onClock ? "on the output's clock" : "in step with a sounding clip";
}
}  // namespace

StartTogether::StartTogether() { ++together.depth; }

StartTogether::~StartTogether() {
    if (--together.depth > 0) return;
    // A start that follows another (its anchor) is let go of first, while its anchor still waits:
    // both then begin in the same mix, at the frames they were given.
    for (const bool anchored : {true, false}) {
        for (int i = 0; i < together.count; ++i) {
            HeldBack& h = together.held[i];
            if ((h.start.kind == VoiceStart::AfterAnchor) != anchored) continue;
            // A slot freed and taken again meanwhile holds another voice.
            if (h.device->mixer().slot(h.slot).generation.load(std::memory_order_relaxed) ==
                h.generation)
                h.device->mixer().release(h.slot, h.start);
        }
    }
    for (int i = 0; i < together.count; ++i) {
        together.held[i].device->wake();
        together.held[i].device.reset();
    }
    together.count = 0;
}

int64_t StartLock::offsetFrames() const {
    return std::llround((atSeconds - anchorSeconds) * kMixRate);
}

double outputClockSeconds(int32_t route) {
    bool available = false;
    const detail::DeviceRef device = detail::deviceForRoute(route, &available);
    return static_cast<double>(device->mixer().renderedFrames()) / kMixRate;
}

StartLock startAtClock(int32_t route, double seconds) {
    bool available = false;
    StartLock lock;
    lock.device = detail::deviceForRoute(route, &available);
    lock.onClock = true;
    lock.begunAt = std::llround(seconds * kMixRate);
    return lock;
}

MoviePlayer::~MoviePlayer() {
    cancelCue();
    setMovie(nullptr);
}

void MoviePlayer::setMovie(MovieRef m) {
    detail::reclaim();
    if (m == movie_) return;
    if (m != cue_.movie) cancelCue();
    // Replaced by the start prepared for it: what sounds now goes on until that start begins.
    retireVoices(voices_, m ? cue_.lock : StartLock());
    playing_ = false;
    position_ = 0;
    fades_.reset();  // the new movie's clip gives its own
    if (movie_) std::erase(movie_->players_, this);
    movie_ = std::move(m);
    if (movie_) movie_->players_.push_back(this);
}

namespace {
Envelope envelopeOf(const MoviePlayer::Fades& f) {
    auto frame = [](double seconds) { return std::llround(seconds * kMixRate); };
    return {frame(f.in), frame(f.fadeInEnd), frame(f.fadeOutStart), frame(f.out)};
}
}  // namespace

MoviePlayer::Voice MoviePlayer::startVoice(const Movie& movie, int track, double at, int volume,
                                           const VoiceStart& start,
                                           const std::optional<Fades>& fades) const {
    Voice v;
    v.track = track;
    v.startSeconds = at;
    const Movie::Track& t = movie.tracks()[track - 1];
    v.route = t.soundOutput;
    bool available = false;
    v.device = detail::deviceForRoute(t.soundOutput, &available);
    if (!available) detail::reportUnavailableRoute(t.soundOutput);
    v.stream = std::make_shared<Stream>(kRingFrames);
    v.stream->path = movie.path();
    v.stream->streamIndex = t.stream;
    v.stream->decoder.setFrameIndex(movie.frameIndexSlot());
    v.stream->startSeconds = at;
    v.stream->endFrame = movie.durationFrames();
    // Added held, and let go of as `start` says once the starts taken together are all placed.
    VoiceStart added = start;
    if (together.depth > 0 && start.kind != VoiceStart::Held) added.kind = VoiceStart::Held;
    const Envelope envelope = fades ? envelopeOf(*fades) : Envelope();
    v.slot = v.device->mixer().addVoice(v.stream.get(), gainFor(volume), added,
                                        fades ? &envelope : nullptr);
    if (v.slot < 0) {
        v.stream->cancelled = true;  // all slots busy: this track stays silent
        qCDebug(soundLog) << "no free voice for" << movie.path();
    } else {
        detail::DecodePool::instance().add(v.stream);
        if (added.kind == start.kind || !holdBack(v.device, v.slot, start))
            releaseNow(v.device, v.slot, start);
    }
    return v;
}

std::vector<MoviePlayer::Voice> MoviePlayer::startVoices(const Movie& movie, double at, int volume,
                                                         const StartLock& lock, bool held,
                                                         const std::optional<Fades>& fades) const {
    std::vector<Voice> voices;
    for (int i = 1; i <= movie.trackCount(); ++i) {
        if (movie.tracks()[i - 1].mediaType != QLatin1String("soun")) continue;
        bool available = false;
        const detail::DeviceRef device =
            detail::deviceForRoute(movie.tracks()[i - 1].soundOutput, &available);
        VoiceStart start;
        // Only a start at the media's first sample begins at full volume; anywhere else the
        // sound would begin with a step.
        start.fadeIn = at > 0;
        const Voice* first = nullptr;
        for (const Voice& v : voices)
            if (v.device == device && v.slot >= 0) first = &v;
        if (lock.valid() && lock.device == device) {
            lockStart(lock, start);
        } else if (first && !held) {
            // The movie's other tracks on the same device begin with its first one.
            start.kind = VoiceStart::AfterAnchor;
            start.anchor = first->slot;
            start.anchorGeneration =
                device->mixer().slot(first->slot).generation.load(std::memory_order_relaxed);
        } else if (held) {
            start.kind = VoiceStart::Held;
        }
        voices.push_back(startVoice(movie, i, at, volume, start, fades));
    }
    return voices;
}

void MoviePlayer::retireVoices(std::vector<Voice>& voices, const StartLock& until) {
    const int64_t at = until.valid() ? std::max<int64_t>(until.startFrame(), 0) : 0;
    for (Voice& v : voices) {
        if (v.slot < 0) continue;
        detail::retire(v.device, v.slot, v.stream, v.device == until.device ? at : 0);
    }
    voices.clear();
}

bool MoviePlayer::cueOnCurrentDevices() const {
    for (const Voice& v : cue_.voices) {
        bool available = false;
        if (detail::deviceForRoute(v.route, &available) != v.device) return false;
    }
    return true;
}

bool MoviePlayer::adoptCue(const StartLock& lock) {
    if (!cue_.movie || cue_.movie != movie_ || cue_.seconds != position_) return false;
    for (const Voice& v : cue_.voices)
        if (movie_->trackSoundOutput(v.track) != v.route) return false;  // routed elsewhere since
    if (!cueOnCurrentDevices()) {
        qCDebug(soundLog) << "prepared start of" << movie_->path()
                          << "not used: made on a device its route no longer sounds on";
        return false;
    }
    qCDebug(soundLog) << "prepared start of" << movie_->path() << "at" << cue_.seconds
                      << "s adopted," << lockText(cue_.lock);
    voices_ = std::move(cue_.voices);
    volume_ = cue_.volume;
    fades_ = cue_.fades;
    const bool locked = cue_.lock.valid();
    cue_ = Cue();
    if (locked) return true;
    // A held start begins now: in step with the lock given here (at its frame, or after its
    // anchor once that begins), or as soon as it can.
    for (const Voice& v : voices_) {
        if (v.slot < 0) continue;
        VoiceStart start;
        if (lock.valid() && lock.device == v.device) lockStart(lock, start);
        if (!holdBack(v.device, v.slot, start)) releaseNow(v.device, v.slot, start);
    }
    return true;
}

void MoviePlayer::play(const StartLock& lock) {
    detail::reclaim();
    if (!movie_ || playing_) return;
    update();
    if (playing_) return;
    if (!adoptCue(lock)) {
        cancelCue();
        qCDebug(soundLog) << "start of" << movie_->path() << "at" << position_ << "s,"
                          << (lock.valid() ? lockText(lock) : "as soon as it can");
        voices_ = startVoices(*movie_, position_, volume_, lock, false, fades_);
    }
    playing_ = true;
}

void MoviePlayer::stop() {
    detail::reclaim();
    if (!playing_) return;
    position_ = position();
    endVoices();
    playing_ = false;
}

StartLock MoviePlayer::lockAt(double seconds) const {
    update();
    StartLock lock;
    if (!playing_ || voices_.empty() || voices_.front().slot < 0) return lock;
    const Voice& v = voices_.front();
    const Mixer::Slot& s = v.device->mixer().slot(v.slot);
    lock.device = v.device;
    lock.slot = v.slot;
    lock.generation = s.generation.load(std::memory_order_relaxed);
    lock.begunAt = s.begunAt.load(std::memory_order_acquire);
    lock.anchorSeconds = v.startSeconds;
    lock.atSeconds = seconds;
    return lock;
}

void MoviePlayer::cue(MovieRef movie, double seconds, int volume, const StartLock& lock,
                      const void* tag, const std::optional<Fades>& fades) {
    detail::reclaim();
    cancelCue();
    if (!movie) return;
    if (!(seconds > 0)) seconds = 0;  // also NaN
    seconds = std::min(seconds, movie->duration());
    cue_.volume = std::clamp(volume, 0, 256);
    cue_.fades = fades;
    cue_.voices = startVoices(*movie, seconds, cue_.volume, lock, !lock.valid(), fades);
    qCDebug(soundLog) << "start of" << movie->path() << "at" << seconds << "s prepared,"
                      << lockText(lock);
    cue_.movie = std::move(movie);
    cue_.tag = tag;
    cue_.seconds = seconds;
    cue_.lock = lock;
    endAtCuedStart();
}

int64_t MoviePlayer::cuedStartFrame() const {
    const StartLock& l = cue_.lock;
    if (!cue_.movie || !l.valid()) return -1;
    if (l.begunAt >= 0) return l.startFrame();
    // Placed after an anchor that had not begun then: known once it has.
    const Mixer::Slot& a = l.device->mixer().slot(l.slot);
    if (a.generation.load(std::memory_order_relaxed) != l.generation) return -1;
    const int64_t begun = a.begunAt.load(std::memory_order_acquire);
    return begun >= 0 ? begun + l.offsetFrames() : -1;
}

void MoviePlayer::endAtCuedStart() {
    const int64_t frame = cuedStartFrame();
    if (!playing_ || frame < 0) return;
    for (const Voice& v : voices_)
        if (v.slot >= 0 && v.device == cue_.lock.device)
            v.device->mixer().slot(v.slot).silentFrom.store(frame, std::memory_order_relaxed);
}

void MoviePlayer::soundOnPastCue() {
    for (const Voice& v : voices_)
        if (v.slot >= 0)
            v.device->mixer().slot(v.slot).silentFrom.store(INT64_MAX, std::memory_order_relaxed);
}

bool MoviePlayer::cued(const void* tag, double seconds, const StartLock& lock) const {
    if (!cue_.movie || cue_.tag != tag) return false;
    if (std::fabs(cue_.seconds - seconds) * kMixRate >= 0.5) return false;
    // Asked every step: only a device that went away is looked for here (no look-up of routes);
    // the full check comes when the start is taken over (adoptCue).
    for (const Voice& v : cue_.voices)
        if (v.device->dead()) return false;
    // A start that has begun stays, however the lock is reached now: started again, its first
    // frames would be heard twice.
    for (const Voice& v : cue_.voices)
        if (v.slot >= 0 && v.device->mixer().slot(v.slot).begunAt.load(std::memory_order_acquire) !=
                               Mixer::kNotBegun)
            return true;
    if (cue_.lock.valid() != lock.valid()) return false;
    if (!lock.valid()) return true;
    // Placed from a sounding clip, its frame is exact: it stays when that clip has played out
    // since (as one does that ends where this begins), and only the clock's estimate is left.
    if (!cue_.lock.onClock && lock.onClock) return true;
    if (cue_.lock.onClock || lock.onClock) {
        // Placed on the output's clock by an estimate of when the head gets there, renewed each
        // step: the start stays where it was first placed unless the estimate moves far.
        constexpr int64_t kClockSlack = kMixRate / 4;
        return cue_.lock.onClock && lock.onClock && cue_.lock.device == lock.device &&
               std::llabs(cue_.lock.startFrame() - lock.startFrame()) <= kClockSlack;
    }
    // The same start frame, however the lock was reached (its anchor may have begun since).
    const bool sameAnchor = cue_.lock.device == lock.device && cue_.lock.slot == lock.slot &&
                            cue_.lock.generation == lock.generation;
    // Two lanes in step may round a shared frame apart by one.
    constexpr int64_t kSlack = 2;
    if (sameAnchor) return std::llabs(cue_.lock.offsetFrames() - lock.offsetFrames()) <= kSlack;
    if (cue_.lock.begunAt < 0 || lock.begunAt < 0 || cue_.lock.device != lock.device) return false;
    return std::llabs(cue_.lock.startFrame() - lock.startFrame()) <= kSlack;
}

void MoviePlayer::cancelCue() {
    if (cue_.movie) soundOnPastCue();
    if (cue_.movie)
        qCDebug(soundLog) << "prepared start of" << cue_.movie->path() << "at" << cue_.seconds
                          << "s cancelled";
    retireVoices(cue_.voices);
    cue_ = Cue();
}

bool MoviePlayer::cuedFileChanged() const {
    for (const Voice& v : cue_.voices) {
        if (!v.stream) continue;
        const int64_t modified = v.stream->fileModified.load(std::memory_order_acquire);
        // Not opened yet: it will read the file as it is then.
        if (modified < 0) continue;
        const FileStamp then{v.stream->fileSize.load(std::memory_order_relaxed), modified};
        return fileStamp(cue_.movie->path()) != then;
    }
    return false;
}

double MoviePlayer::voicePosition(const Voice& v) const {
    if (v.slot < 0) return v.startSeconds;
    const int64_t played =
        v.device->mixer().slot(v.slot).framesPlayed.load(std::memory_order_acquire);
    return std::min(v.startSeconds + static_cast<double>(played) / kMixRate,
                    movie_ ? movie_->duration() : v.startSeconds);
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

double MoviePlayer::rate() const {
    update();
    return playing_ ? 1.0 : 0.0;
}

double MoviePlayer::position() const {
    update();
    if (!playing_ || voices_.empty()) return position_;
    return voicePosition(voices_.front());
}

void MoviePlayer::setPosition(double seconds) {
    detail::reclaim();
    if (!movie_) return;
    if (!(seconds > 0)) seconds = 0;  // also NaN
    seconds = std::min(seconds, movie_->duration());
    update();
    position_ = seconds;
    if (playing_) {
        endVoices();
        playing_ = false;
        play();
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

void MoviePlayer::setFades(const std::optional<Fades>& fades) {
    if (fades == fades_) return;
    fades_ = fades;
    const Envelope envelope = fades ? envelopeOf(*fades) : Envelope();
    for (const Voice& v : voices_) {
        if (v.slot < 0) continue;
        if (fades)
            v.device->mixer().setEnvelope(v.slot, envelope);
        else
            v.device->mixer().slot(v.slot).enveloped.store(false, std::memory_order_relaxed);
    }
}

void MoviePlayer::trackRerouted(int trackIndex) {
    detail::reclaim();
    update();
    if (!playing_) return;
    for (Voice& v : voices_) {
        if (v.track != trackIndex) continue;
        const double at = voicePosition(v);
        if (v.slot >= 0) detail::retire(v.device, v.slot, v.stream);
        v = startVoice(*movie_, trackIndex, at, volume_, VoiceStart{.fadeIn = at > 0}, fades_);
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
