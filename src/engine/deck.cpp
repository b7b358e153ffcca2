// The deck step.
#include "engine/deck.h"

#include "engine/fades.h"
#include "platform/numtext.h"

namespace engine {
namespace {

// A clip whose movie is still being opened is neither current nor last: the next step tries it
// again.
void startClip(const DeckTraits& traits, int laneIndex, DeckLane& lane, const DragPicRef& clip,
               double zoom, int32_t device) {
    DeckPlayer& player = *lane.player;
    if (traits.stopBeforeStart[laneIndex]) player.Stop();
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
    player.setPosition(clip.get()->*traits.startOffset / zoom);
    if (traits.routed) player.route(device);
    player.Play();
}

void runLane(const DeckTraits& traits, int laneIndex, DeckLane& lane, const DragPicRef& hit,
             double zoom, int32_t device) {
    if (!hit) return;
    if (hit != *lane.current && hit != *lane.last)
        startClip(traits, laneIndex, lane, hit, zoom, device);
    DeckPlayer& player = *lane.player;
    if (player.Rate() > 0 && *lane.current) {
        const double t = player.Position() * zoom;
        if (auto v = clipVolume(**lane.current, t, zoom)) player.setVolume(*v);
    }
}

// The head over a clip: its left edge plus the player's clip time, carried through number text
// as the head always has been, so it holds the same digits (without making the text each tick).
double followHead(const DragPic& clip, const DeckPlayer& player, double zoom) {
    const double left = static_cast<double>(clip.x) - clip.pdauer / 2;
    return left + throughNumberText(player.Position() * zoom);
}

}  // namespace

DeckStepResult deckStep(const DeckTraits& traits, std::array<DeckLane, 2>& lanes, double head,
                        double zoom, int32_t device) {
    for (DeckLane& lane : lanes) {
        if (lane.player->Rate() == 0) *lane.current = nullptr;
    }
    // Both lanes are probed at the head where it stood, before either starts a clip.
    const std::array<DragPicRef, 2> hits{lanes[0].probe(head), lanes[1].probe(head)};
    for (int i = 0; i < 2; ++i) runLane(traits, i, lanes[i], hits[i], zoom, device);

    DeckStepResult result;
    for (int i = 0; i < 2; ++i) {
        result.sounding[i] = lanes[i].player->Rate() > 0;
        if (result.sounding[i]) result.seconds[i] = lanes[i].player->Position();
    }
    if (const DragPicRef& c = *lanes[0].current) {
        result.head = followHead(*c, *lanes[0].player, zoom);
    } else if (const DragPicRef& c2 = *lanes[1].current) {
        result.head = followHead(*c2, *lanes[1].player, zoom);
    } else {
        result.head = head + zoom / traits.gapDivisor;
    }
    return result;
}

}  // namespace engine
