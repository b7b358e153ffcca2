// Transport: the play and preview toggles, the start offsets and the status line's word about
// sound.
#include "engine/transport.h"

#include "media/output.h"
#include "model/head_geometry.h"
#include "model/lane_logic.h"

namespace engine {

void Transport::toggle(Deck& deck) {
    if (deck.running()) {
        stop(deck);
        return;
    }
    // The toggle starts no sound itself: the next tick loads the clips under the head. A sound
    // server or device that came back since the last Play is found again here.
    media::refreshOutputs();
    forgetReturnedSoundProblem();
    setStartOffsets(deck, deck.head() - static_cast<double>(mix_.scrollX));
    deck.headAtLastStep = -std::numeric_limits<double>::infinity();
    deck.setRunning(true);
    timer_.wake();
}

void Transport::stop(Deck& deck) {
    deck.setRunning(false);
    deck.forgetClips();
    for (media::MoviePlayer& player : deck.players) {
        player.stop();
        player.cancelCue();
    }
}

// The play deck forgets the clips it loaded, so the next tick starts them again from the new
// offsets; the clips now sounding on the preview deck stay, and the tick decides what plays next.
// The clip is found at the head, the offset measured from pos.
void Transport::setStartOffsets(Deck& deck, double pos) {
    if (deck.newStartForgetsClips) deck.current = {};
    const double scrollX = mix_.scrollX;
    const double headX = deck.head() - scrollX;
    for (const std::vector<model::ClipRef>& clips : mix_.lanes)
        model::assignStartOffsets(clips, model::lineHit(clips, headX, scrollX), pos, scrollX,
                                  deck.traits.startOffset);
}

void Transport::showSoundProblem(int32_t device, const QString& text) {
    soundProblemDevice_ = device;
    soundProblemText_ = text;
    host_.showStatus(text);
}

void Transport::forgetReturnedSoundProblem() {
    if (soundProblemText_.isEmpty() || !media::routeAvailable(soundProblemDevice_)) return;
    if (host_.statusText() == soundProblemText_) host_.showStatus(QString());
    soundProblemText_.clear();
}

}  // namespace engine
