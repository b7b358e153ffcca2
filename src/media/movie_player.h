#pragma once
// Plays a movie's sound tracks, each as a voice in the mixer of the track's output device.
// UI thread only. rate(), position() and volume() follow the rules the deck tick relies on: rate()
// is above 0 at once after play() and exactly 0 when stopped, without a movie or played out (never
// because of an underrun); position() is the mix cursor in seconds.

#include <memory>
#include <optional>
#include <vector>

#include "media/movie.h"
#include "media/output.h"

namespace media {

namespace detail {
class Device;
}
struct Stream;
struct VoiceStart;

// A moment of a sounding player on its output's clock: another player's start placed there
// begins in step with it, to the sample. Holds only on the same output device. With no player
// sounding, a moment of the output's own sample clock (startAtClock).
struct StartLock {
    std::shared_ptr<detail::Device> device;
    int slot = -1;
    uint32_t generation = 0;
    int64_t begunAt = -1;      // device frame of the anchor's first frame, once known
    double anchorSeconds = 0;  // the anchor's media position at that frame
    double atSeconds = 0;      // the locked start begins when the anchor is here
    bool onClock = false;      // no anchor: the start begins at device frame begunAt
    bool valid() const { return slot >= 0 || onClock; }
    // Frames from the anchor's first frame to the locked start.
    int64_t offsetFrames() const;
    // The device frame the locked start begins at, once the anchor has begun; else -1.
    int64_t startFrame() const { return begunAt >= 0 ? begunAt + offsetFrames() : -1; }
    bool operator==(const StartLock&) const = default;
};

// The sample clock of the device a route sounds on: the seconds its mixer has rendered.
double outputClockSeconds(int32_t route);
// A start at that moment of the route's clock, for a player whose sound goes there.
StartLock startAtClock(int32_t route, double seconds);

// While one lives (UI thread), starts that would begin by themselves are held back and let go
// of together when the last one ends, those that follow another voice first: two lanes started
// in one step (Play with the head on both) then cannot be split by the sound thread mixing in
// between, which would begin the first at once and the second late, its first frames skipped.
class StartTogether {
  public:
    StartTogether();
    ~StartTogether();
    StartTogether(const StartTogether&) = delete;
    StartTogether& operator=(const StartTogether&) = delete;
};

class MoviePlayer {
  public:
    MoviePlayer() = default;
    ~MoviePlayer();
    MoviePlayer(const MoviePlayer&) = delete;
    MoviePlayer& operator=(const MoviePlayer&) = delete;

    // A movie that is still sounding is faded out over one mixer block (no click). The cued
    // start is kept when `m` is its movie, and dropped otherwise.
    void setMovie(MovieRef m);
    MovieRef movie() const { return movie_; }

    void play() { play(StartLock()); }
    // Begins where the lock says (when it holds on this player's device), else at once.
    void play(const StartLock& lock);
    void stop();
    double rate() const;
    double position() const;
    // Between setMovie and play(), playback starts exactly at this sample; while playing, it
    // continues from there.
    void setPosition(double seconds);
    int volume() const { return volume_; }
    void setVolume(int v);  // 0..256, clamped
    // The clip's in and out points and fades (seconds of the movie): its sound follows them at
    // every frame, in place of the volume, from now on and in every start after. Nothing: the
    // volume again.
    struct Fades {
        double in = 0, fadeInEnd = 0, fadeOutStart = 0, out = 0;
        bool operator==(const Fades&) const = default;
    };
    void setFades(const std::optional<Fades>& fades);

    // The moment this player's sound reaches `seconds` of its movie; invalid unless it plays.
    StartLock lockAt(double seconds) const;

    // A start prepared ahead, beside what plays now: the movie's decoders open, seek to
    // `seconds` and fill their rings at once. With a valid lock it begins there by itself;
    // without one it waits for play(). play() adopts it when the player was given its movie and
    // position meanwhile; anything else drops it. `tag` tells the caller which cue this is.
    void cue(MovieRef movie, double seconds, int volume, const StartLock& lock, const void* tag,
             const std::optional<Fades>& fades = std::nullopt);
    bool cued(const void* tag, double seconds, const StartLock& lock) const;
    // What plays now falls silent where the prepared start begins (the step hands the player
    // over to it there), once that frame is known: a clip laid over another on its lane is
    // heard alone from its first frame. Called again while the frame waits on another start.
    void endAtCuedStart();
    MovieRef cuedMovie() const { return cue_.movie; }
    // Whether the prepared start waits for nothing but its frame (it begins by itself).
    bool cueLocked() const { return cue_.movie && cue_.lock.valid(); }
    const void* cueTag() const { return cue_.tag; }
    void cancelCue();
    // Whether the prepared start was made from the file as it was then, and the file has changed
    // since (replaced, cut, rewritten): what it decoded is not what the file holds now.
    bool cuedFileChanged() const;

    // The movie tells its players when a track is routed elsewhere.
    void trackRerouted(int trackIndex);

    // For the latency benchmark.
    testing::FirstSound firstSound() const;

  private:
    struct Voice {
        int track = 0;  // 1-based
        int32_t route = 0;
        std::shared_ptr<detail::Device> device;
        int slot = -1;
        std::shared_ptr<Stream> stream;
        double startSeconds = 0;
    };
    struct Cue {
        MovieRef movie;
        const void* tag = nullptr;
        double seconds = 0;
        int volume = 256;
        std::optional<Fades> fades;
        StartLock lock;
        std::vector<Voice> voices;
    };
    std::vector<Voice> startVoices(const Movie& movie, double at, int volume, const StartLock& lock,
                                   bool held, const std::optional<Fades>& fades) const;
    Voice startVoice(const Movie& movie, int track, double at, int volume, const VoiceStart& start,
                     const std::optional<Fades>& fades) const;
    // `until`: voices on that lock's device sound on until the lock's frame.
    static void retireVoices(std::vector<Voice>& voices, const StartLock& until = {});
    void endVoices() { retireVoices(voices_); }
    bool adoptCue(const StartLock& lock);
    // The device frame the prepared start begins at, once it is known; else -1.
    int64_t cuedStartFrame() const;
    // What plays now goes on after the prepared start's frame (it was let go of).
    void soundOnPastCue();
    // Every voice of the prepared start is on the device its track's route sounds on now (not
    // on one that went away, or on the one that sounds nowhere while the server was gone).
    bool cueOnCurrentDevices() const;
    void update() const;  // notices played-out voices
    double voicePosition(const Voice& v) const;

    MovieRef movie_;
    mutable std::vector<Voice> voices_;
    mutable bool playing_ = false;
    mutable double position_ = 0;  // where playback starts, or where it ended
    int volume_ = 256;
    std::optional<Fades> fades_;
    Cue cue_;
};

}  // namespace media
