// Transport: the play and preview toggles and the status line's word about sound.
#include "engine/transport.h"

#include <QAction>

#include "engine/tick_timer.h"
#include "media/output.h"
#include "platform/controls.h"

namespace engine {
namespace {

void showDeckState(Deck& deck, bool running) {
    deck.button->setPicture(running ? deck.looks.runningIcon() : deck.looks.stoppedIcon());
    if (deck.menuAction)
        deck.menuAction->setText(
            QString::fromLatin1(running ? deck.looks.runningText : deck.looks.stoppedText));
}

}  // namespace

void Transport::toggle(Deck& deck) {
    if (deck.running) {
        stopDeck(deck);
    } else {
        // The toggle starts no sound itself: the next tick loads the clips under the head. A
        // sound server or device that came back since the last Play is found again here.
        media::refreshOutputs();
        forgetReturnedSoundProblem();
        setStartOffsets(deck, mix_, deck.headX);
        deck.headAtLastStep = -std::numeric_limits<double>::infinity();
        deck.running = true;
        host_.tickTimer().wake();
        showDeckState(deck, true);
    }
    if (deck.looks.redrawsBackdrop) host_.redrawBackdrop();
}

void stopDeck(Deck& deck) {
    deck.running = false;
    showDeckState(deck, false);
    deck.forgetClips();
    for (media::MoviePlayer& player : deck.players) {
        player.stop();
        player.cancelCue();
    }
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
