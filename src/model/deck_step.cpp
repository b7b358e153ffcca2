// The deck step.
#include "model/deck_step.h"

#include <algorithm>
#include <limits>

#include "model/fades.h"
#include "model/head_geometry.h"
#include "model/numtext.h"

namespace model {
namespace {

struct DeckHeadPlace {
    double visible;  // the head now, as the lanes are scrolled
    double scrollX;
    double timelineBefore;  // the head on the timeline before its last move
};

// The player whose sound carries the head when the head stands at `at` (exact timeline pixels):
// lane 1's sounding clip, else lane 2's, if that clip's media lasts to there.
StartLock lockFor(const std::array<DeckLane, 2>& lanes, const Clip& clip, double at, double zoom) {
    for (const DeckLane& lane : lanes) {
        const ClipRef& followed = *lane.current;
        if (!followed || followed.get() == &clip || !(lane.player->rate() > 0)) continue;
        const double seconds = (at - followed->timelineLeft()) / zoom;
        // Its very end counts: a clip butt-spliced to it begins at the frame after its last.
        if (seconds >= 0 && seconds <= followed->lengthPx / zoom) return {lane.player, seconds};
    }
    return {};
}

// The volume a clip's sound begins at, `from` pixels into it.
int volumeAt(const Clip& clip, double from, double zoom) {
    return clipVolume(clip, from, zoom).value_or(kFullVolume);
}

// A clip whose movie is still being opened is neither current nor last: the next step tries it
// again.
// `from`: where on the clip (pixels from its left edge) its sound begins.
void startClip(const DeckTraits& traits, int laneIndex, std::array<DeckLane, 2>& lanes,
               const ClipRef& clip, double from, double zoom, int32_t device) {
    DeckLane& lane = lanes[laneIndex];
    DeckPlayer& player = *lane.player;
    // Taken before the lane's own player lets go of what it plays: that may be the clip the
    // head follows.
    player.lockNextStart(lockFor(lanes, *clip, clip->timelineLeft() + from, zoom));
    if (traits.stopBeforeStart[laneIndex] && !player.preparedFor(*clip)) player.stop();
    switch (player.loadMovie(*clip)) {
        case DeckPlayer::Load::Pending:
            return;
        case DeckPlayer::Load::Failed:
            // Nothing to play: the lane stays silent, the clip is not tried again while the head
            // is over it, and the head must not follow a player without a movie back to the
            // clip's edge.
            *lane.last = clip;
            *lane.current = nullptr;
            return;
        case DeckPlayer::Load::Loaded:
            break;
    }
    *lane.last = clip;
    *lane.current = clip;
    player.setPosition(from / zoom);
    if (traits.routed) player.route(device);
    // Its first block already sounds at the clip's volume there (a clip started inside its
    // fade-in must not begin at the volume the player had before).
    player.setVolume(volumeAt(*clip, from, zoom));
    player.followFades(*clip);
    player.play();
}

// A clip starts from its start offset when the head came to that point in its last move (or
// stood right on it, where it is not inside the clip yet). One the head had already reached
// before (met again after another clip on its lane covered it or played out, or whose start
// offset lies behind the head) starts where the head stands: the head never moves back, and
// nothing it passed sounds again.
double startFrom(const DeckTraits& traits, const Clip& clip, const DeckHeadPlace& place) {
    const double offset = clip.*traits.startOffset;
    if (clip.timelineLeft() + offset >= place.timelineBefore) return offset;
    return std::max(offset, place.visible - clip.visibleLeft(place.scrollX));
}

void runLane(const DeckTraits& traits, int laneIndex, std::array<DeckLane, 2>& lanes,
             const ClipRef& hit, const DeckHeadPlace& place, double zoom, int32_t device) {
    if (!hit) return;
    DeckLane& lane = lanes[laneIndex];
    if (hit != *lane.current && hit != *lane.last)
        startClip(traits, laneIndex, lanes, hit, startFrom(traits, *hit, place), zoom, device);
    DeckPlayer& player = *lane.player;
    if (player.rate() > 0 && *lane.current) {
        const double t = player.position() * zoom;
        if (auto v = clipVolume(**lane.current, t, zoom)) player.setVolume(*v);
        player.followFades(**lane.current);  // edited since, perhaps
    }
}

// The head over a clip: its left edge plus the player's clip time, carried through number text
// as the head always has been, so it holds the same digits (without making the text each tick).
double followHead(const Clip& clip, const DeckPlayer& player, double scrollX, double zoom) {
    return clip.visibleLeft(scrollX) + throughNumberText(player.position() * zoom);
}

// The clip a lane starts next: the one under the head that it has not started yet (its start
// comes with the next step: the head has just crossed its edge, or its movie is still being
// opened), else the one the head reaches next. A start prepared for it stays while it is either.
ClipRef clipToStartNext(const DeckLane& lane, double head) {
    if (ClipRef under = lane.probe(head); under && under != *lane.current && under != *lane.last)
        return under;
    return lane.next ? lane.next(head) : nullptr;
}

// Each lane's next clip, once the head is less than kCueAheadSeconds from it (or over it), is
// prepared and locked to the sound the head follows; a lane with nothing to start lets go of
// what it prepared. Where nothing sounds to keep in step with, the start is placed on the
// output's own sample clock at the moment the head gets there, so that it is prepared and begins
// at its exact frame like one locked to a sounding clip (both lanes alike when they start
// together). The player keeps a start it placed before (cue()), so looking again each step moves
// nothing that is placed.
// `place`: the head after this step's move, and where it stood before it (the next step's start
// point of reference).
void prepareAhead(const DeckTraits& traits, std::array<DeckLane, 2>& lanes,
                  const DeckHeadPlace& place, double zoom, int32_t device) {
    const double head = place.visible, scrollX = place.scrollX;
    const ClipRef& followed = *lanes[0].current ? *lanes[0].current : *lanes[1].current;
    const bool carried = followed != nullptr;
    const double gapPace = zoom / traits.gapDivisor * 100;  // pixels a second between clips
    double clock = -1;  // read once, so that starts placed together fall on the same frame
    for (DeckLane& lane : lanes) {
        if (!lane.next) continue;
        const ClipRef clip = clipToStartNext(lane, head);
        if (!clip || clip == *lane.last) {
            lane.player->cancelCue();
            continue;
        }
        // From where the step that starts it will: its start offset, or for a clip the head
        // had already reached, where the head stands.
        const double from = startFrom(traits, *clip, place);
        const StartLock lock = lockFor(lanes, *clip, clip->timelineLeft() + from, zoom);
        const double left = clip->visibleLeft(scrollX);  // as the head sees it
        // Until it gets there: at the pace of the sound it is locked to; else following its clip
        // to that clip's end, then at the gap step's pace.
        double ahead = (left - head) / gapPace;
        if (lock.player) {
            ahead = lock.seconds - lock.player->position();
        } else if (carried) {
            const double end = std::min(followed->visibleLeft(scrollX) + followed->lengthPx, left);
            ahead = (end - head) / zoom + (left - end) / gapPace;
        }
        if (!(ahead < kCueAheadSeconds)) {
            lane.player->cancelCue();
            continue;
        }
        StartLock placed = lock;
        if (!lock.player) {
            if (clock < 0) clock = lane.player->outputClock();
            if (clock >= 0) placed = {nullptr, clock + std::max(ahead, kLeastClockLead), true};
        }
        cueStart(traits, *lane.player, *clip, from, zoom, placed, device);
    }
}

// Beyond the preparing distance, the steps are given half a second to notice what comes.
constexpr double kQuietMargin = 0.5;

double quietSeconds(const std::array<DeckLane, 2>& lanes, const std::array<ClipRef, 2>& hits,
                    double head, double zoom) {
    if (!*lanes[0].current && !*lanes[1].current) return 0;
    double nearest = std::numeric_limits<double>::infinity();
    for (int i = 0; i < 2; ++i) {
        const DeckLane& lane = lanes[i];
        if (!lane.nextMark) return 0;
        // A clip under the head that is neither sounding nor done with: its movie is still being
        // opened, and the next step tries it again.
        if (hits[i] && hits[i] != *lane.current && hits[i] != *lane.last) return 0;
        if (const ClipRef& c = *lane.current; c && lane.player->rate() > 0) {
            const double t = lane.player->position() * zoom;
            if (c->fadingIn(t) || c->fadingOut(t)) return 0;
            // The sounding clip's own marks come at its player's pace, which need not be the
            // head's (a clip started late sounds from where it was told to).
            for (const double mark : c->marks())
                if (mark > t - 1) nearest = std::min(nearest, head + (mark - t));
        }
        // A mark less than a pixel behind the head counts as ahead of it.
        nearest = std::min(nearest, lane.nextMark(head - 1));
    }
    const double seconds = (nearest - head) / zoom - kCueAheadSeconds - kQuietMargin;
    return seconds > 0 && zoom > 0 ? seconds : 0;
}

}  // namespace

void cueStart(const DeckTraits& traits, DeckPlayer& player, const Clip& clip, double from,
              double zoom, const StartLock& lock, int32_t device) {
    player.cue(clip, from / zoom, volumeAt(clip, from, zoom), lock, traits.routed, device);
}

void prepareStoppedDeck(const DeckTraits& traits, std::array<DeckLane, 2>& lanes, double head,
                        double scrollX, double zoom, int32_t device) {
    for (DeckLane& lane : lanes) {
        const ClipRef hit = lane.probe(head);
        if (!hit || !(zoom > 0)) {
            lane.player->cancelCue();
            continue;
        }
        // Play gives the clip this start offset, and its first step starts it there.
        cueStart(traits, *lane.player, *hit, startOffsetAt(*hit, head, scrollX), zoom, StartLock(),
                 device);
    }
}

DeckStepResult deckStep(const DeckTraits& traits, std::array<DeckLane, 2>& lanes, double head,
                        double scrollX, double zoom, int32_t device, double headBefore) {
    for (DeckLane& lane : lanes) {
        if (lane.player->rate() == 0) *lane.current = nullptr;
    }
    // Both lanes are probed at the head where it stood, before either starts a clip.
    std::array<ClipRef, 2> hits{lanes[0].probe(head), lanes[1].probe(head)};
    // A clip started at a frame still to come holds the head on its edge until it sounds: the
    // clip beneath it there is not the one under the head.
    for (int i = 0; i < 2; ++i) {
        const ClipRef& c = *lanes[i].current;
        if (c && hits[i] != c && head <= c->visibleLeft(scrollX)) hits[i] = c;
    }
    const DeckHeadPlace place{head, scrollX, headBefore};
    for (int i = 0; i < 2; ++i) runLane(traits, i, lanes, hits[i], place, zoom, device);

    DeckStepResult result;
    for (int i = 0; i < 2; ++i) {
        result.sounding[i] = lanes[i].player->rate() > 0;
        if (result.sounding[i]) result.seconds[i] = lanes[i].player->position();
    }
    if (const ClipRef& c = *lanes[0].current) {
        result.head = followHead(*c, *lanes[0].player, scrollX, zoom);
    } else if (const ClipRef& c2 = *lanes[1].current) {
        result.head = followHead(*c2, *lanes[1].player, scrollX, zoom);
    } else {
        result.head = head + zoom / traits.gapDivisor;
    }
    prepareAhead(traits, lanes, {result.head, scrollX, head + scrollX}, zoom, device);
    result.quietSeconds = quietSeconds(lanes, hits, result.head, zoom);
    return result;
}

}  // namespace model
