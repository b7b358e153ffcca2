// Transport: the play and preview toggles and the head buttons.
#include "engine/deck_bindings.h"
#include "media/output.h"
#include "shell/pictures.h"

namespace engine {

const DeckBinding& playDeck() {
    static const DeckBinding deck{&kPlayDeck,
                                  &Window1::pplay1,
                                  &Window1::playbalken,
                                  &Window1::MovePlayerLineTo,
                                  &Window1::SetPlayStartPos,
                                  {&Window1::player1, &Window1::player2},
                                  {&Window1::pam, &Window1::pam2},
                                  {&Window1::oldpam, &Window1::oldpam2},
                                  {&Window1::playtime, &Window1::playtime2},
                                  &Window1::playbutton,
                                  &playb,
                                  &pauseb,
                                  &Window1::menuplay,
                                  "Play",
                                  "Stop",
                                  false};
    return deck;
}

const DeckBinding& previewDeck() {
    static const DeckBinding deck{&kPreviewDeck,
                                  &Window1::vplay1,
                                  &Window1::previewbalken,
                                  &Window1::MovePreviewLineTo,
                                  &Window1::SetPreviewStartPos,
                                  {&Window1::previewplayer1, &Window1::previewplayer2},
                                  {&Window1::vam, &Window1::vam2},
                                  {&Window1::oldvam, &Window1::oldvam2},
                                  {&Window1::previewtime, &Window1::previewtime2},
                                  &Window1::Previewbutton,
                                  &prevplayb,
                                  &prevpauseb,
                                  &Window1::menupreview,
                                  "Preview",
                                  "Stop Preview",
                                  true};
    return deck;
}

namespace {

void showDeckState(Window1& w, const DeckBinding& deck, bool running) {
    (w.*deck.button)->setIcon(running ? deck.runningIcon() : deck.stoppedIcon());
    if (platform::MenuItem* item = (w.*deck.menuItem)()) {
        item->setText(QString::fromLatin1(running ? deck.runningText : deck.stoppedText));
    }
}

void toggleDeck(Window1& w, const DeckBinding& deck) {
    if (w.*deck.running) {
        stopDeck(w, deck);
    } else {
        // The toggle starts no sound itself: the next tick loads the clips under the head. A
        // sound server or device that came back since the last Play is found again here.
        media::refreshOutputs();
        w.forgetReturnedSoundProblem();
        (w.*deck.setStartPos)(w.*deck.head);
        w.*deck.running = true;
        w.PlayPrevTimer->wake();
        showDeckState(w, deck, true);
    }
    if (deck.redrawsBackdrop) w.content()->update();
}

}  // namespace

void stopDeck(Window1& w, const DeckBinding& deck) {
    w.*deck.running = false;
    showDeckState(w, deck, false);
    for (int i = 0; i < 2; ++i) {
        w.*deck.current[i] = nullptr;
        w.*deck.last[i] = nullptr;
    }
    for (auto player : deck.players) {
        (w.*player)->Stop();
        (w.*player)->player().cancelCue();
    }
}

}  // namespace engine

void Window1::showSoundProblem(int32_t device, const QString& text) {
    soundProblemDevice = device;
    soundProblemText = text;
    msg->setText(text);
}

void Window1::forgetReturnedSoundProblem() {
    if (soundProblemText.isEmpty() || !media::routeAvailable(soundProblemDevice)) return;
    if (msg->Text() == soundProblemText) msg->setText(QString());
    soundProblemText.clear();
}

void Window1::play() { engine::toggleDeck(*this, engine::playDeck()); }

void Window1::preview() { engine::toggleDeck(*this, engine::previewDeck()); }

void Window1::playbutton_Action() { play(); }

void Window1::Previewbutton_Action() { preview(); }
