#pragma once
// A deck's player of one lane as the deck step sees it: the step's requests carried out on the
// lane's movie player, with the movie its clip opened beforehand off the tick.

#include <cstdint>

#include "engine/deck.h"
#include "engine/deck_host.h"
#include "media/movie_player.h"
#include "model/deck_step.h"
#include "model/mix.h"
#include "model/status_line.h"

namespace engine {

class LanePlayer final : public model::DeckPlayer {
  public:
    // `route`: the output the deck sounds on (0: the default device); `zoom`: the lanes' pixels
    // per second.
    LanePlayer(model::StatusLine& statusLine, media::MoviePlayer& p, int32_t route, double zoom)
        : statusLine_(statusLine), p_(p), route_(route), zoom_(zoom) {}
    double rate() const override { return p_.rate(); }
    double position() const override { return p_.position(); }
    void setPosition(double seconds) override { p_.setPosition(seconds); }
    void setVolume(int volume) override { p_.setVolume(volume); }
    void followFades(const model::Clip& clip) override { p_.setFades(fadesOf(clip)); }
    void play() override {
        p_.play(lock_);
        lock_ = media::StartLock();
    }
    void stop() override { p_.stop(); }
    Load loadMovie(const model::Clip& clip) override;
    void route(int32_t device) override;
    double outputClock() const override;

    void lockNextStart(const model::StartLock& lock) override { lock_ = mediaLock(lock); }
    void cue(const model::Clip& clip, double seconds, int volume, const model::StartLock& lock,
             bool routed, int32_t device) override;
    void cancelCue() override { p_.cancelCue(); }
    bool preparedFor(const model::Clip& clip) const override { return preparedFor(clip, true); }

  private:
    // The cue is this clip's: its tag, and (should a new clip have taken a deleted one's place
    // in memory) its file.
    bool preparedFor(const model::Clip& clip, bool locked) const;
    media::StartLock mediaLock(const model::StartLock& lock) const;
    // The clip's in and out points and fades in seconds of its movie.
    std::optional<media::MoviePlayer::Fades> fadesOf(const model::Clip& clip) const;
    // A clip whose file is gone or is no playable media: the lane stays silent, and the status
    // line says why.
    void movieFailed(const QString& path);

    model::StatusLine& statusLine_;
    media::MoviePlayer& p_;
    int32_t route_;
    double zoom_;
    media::StartLock lock_;
};

// A deck's two lanes as its step sees them: the deck's players over the mix's lanes as scrolled
// now, with its clips now sounding and started last. Built on the stack for one step; nothing in
// it allocates.
struct StepLanes {
    StepLanes(DeckHost& host, model::StatusLine& statusLine, const model::Mix& mix, Deck& deck);
    LanePlayer players[2];
    std::array<model::DeckLane, 2> lanes;
};

}  // namespace engine
