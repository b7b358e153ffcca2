#include "engine/lane_player.h"

#include <QFileInfo>

#include "engine/routing.h"
#include "media/clip_movie.h"
#include "media/movie.h"
#include "media/output.h"
#include "model/lane_logic.h"

namespace engine {

LanePlayer::Load LanePlayer::loadMovie(const model::Clip& clip) {
    const media::ClipMovieRef& m = clip.movie;
    if (!m || m->state() == media::ClipMovie::Failed) {
        p_.setMovie(nullptr);
        movieFailed(clip.path);
        return Load::Failed;
    }
    if (m->state() != media::ClipMovie::Ready) {
        m->hurry();  // still being opened: the deck tries again on the next tick
        return Load::Pending;
    }
    // The start prepared for this clip, if there is one; play() then takes it over.
    if (preparedFor(clip, false)) {
        p_.setMovie(p_.cuedMovie());
        return Load::Loaded;
    }
    // A player of its own routes its own tracks: the other deck may sound the same clip.
    p_.setMovie(m->movie()->share());
    return Load::Loaded;
}

namespace {
using Clips = std::vector<model::ClipRef>;
// Each function holds a pointer and the scroll: it fits in the function object without
// allocating.
model::DeckLane stepLane(LanePlayer& player, Deck& deck, int i, const Clips* clips,
                         double scrollX) {
    return {&player,
            &deck.current[i],
            &deck.last[i],
            [clips, scrollX](double x) { return model::lineHit(*clips, x, scrollX); },
            [clips, scrollX](double x) { return model::nextHit(*clips, x, scrollX); },
            [clips, scrollX](double x) { return model::nextMark(*clips, x, scrollX); }};
}
int32_t deckRoute(DeckHost& host, const Deck& deck) {
    return deck.traits.routed ? host.previewOutputDevice() : 0;
}
}  // namespace

StepLanes::StepLanes(DeckHost& host, model::StatusLine& statusLine, const model::Mix& mix,
                     Deck& deck)
    : players{LanePlayer(statusLine, deck.players[0], deckRoute(host, deck), mix.pixelsPerSecond()),
              LanePlayer(statusLine, deck.players[1], deckRoute(host, deck),
                         mix.pixelsPerSecond())},
      lanes{stepLane(players[0], deck, 0, &mix.lane(1), mix.scrollX()),
            stepLane(players[1], deck, 1, &mix.lane(2), mix.scrollX())} {}

void LanePlayer::route(int32_t device) { routePlayer(p_, device); }

double LanePlayer::outputClock() const { return media::outputClockSeconds(route_); }

void LanePlayer::cue(const model::Clip& clip, double seconds, int volume,
                     const model::StartLock& lock, bool routed, int32_t device) {
    const media::ClipMovieRef& m = clip.movie;
    if (!m || m->state() != media::ClipMovie::Ready) {
        // Not open yet (or never): the step starts it when the head gets there.
        if (m) m->hurry();
        cancelCue();
        return;
    }
    const media::StartLock at = mediaLock(lock);
    const media::MovieRef cued = p_.cuedMovie();
    if (p_.cued(&clip, seconds, at) && (!routed || firstSoundOutput(*cued) == device)) {
        p_.endAtCuedStart();
        return;
    }
    media::MovieRef movie = m->movie()->share();
    if (routed) routeSoundTracks(*movie, device);
    p_.cue(std::move(movie), seconds, volume, at, &clip, fadesOf(clip));
}

std::optional<media::MoviePlayer::Fades> LanePlayer::fadesOf(const model::Clip& clip) const {
    if (!(zoom_ > 0)) return std::nullopt;
    return media::MoviePlayer::Fades{clip.inPoint / zoom_, clip.fadeInEnd / zoom_,
                                     clip.fadeOutStart / zoom_, clip.outPoint / zoom_};
}

bool LanePlayer::preparedFor(const model::Clip& clip, bool locked) const {
    return p_.cueTag() == &clip && p_.cuedMovie() && p_.cuedMovie()->path() == clip.path &&
           (!locked || p_.cueLocked());
}

media::StartLock LanePlayer::mediaLock(const model::StartLock& lock) const {
    if (lock.onClock) return media::startAtClock(route_, lock.seconds);
    const auto* other = dynamic_cast<const LanePlayer*>(lock.player);
    return other ? other->p_.lockAt(lock.seconds) : media::StartLock();
}

void LanePlayer::movieFailed(const QString& path) {
    statusLine_.showMessage(QStringLiteral("Error opening ") + QFileInfo(path).fileName() +
                            QStringLiteral(" as movie."));
}

}  // namespace engine
