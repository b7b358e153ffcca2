// Transport: the play and preview toggles and the head buttons.
#include "engine/transport.h"

#include "media/output.h"
#include "shell/main_window.h"

namespace engine {
namespace {

void showDeckState(Deck& deck, bool running) {
    deck.button->setIcon(running ? deck.looks.runningIcon() : deck.looks.stoppedIcon());
    if (platform::MenuItem* item = deck.menuItem ? deck.menuItem() : nullptr)
        item->setText(
            QString::fromLatin1(running ? deck.looks.runningText : deck.looks.stoppedText));
}

}  // namespace

void toggleDeck(MainWindow& w, Deck& deck) {
    if (deck.running) {
        stopDeck(deck);
    } else {
        // The toggle starts no sound itself: the next tick loads the clips under the head. A
        // sound server or device that came back since the last Play is found again here.
        media::refreshOutputs();
        w.forgetReturnedSoundProblem();
        w.setStartOffsets(deck, deck.headX);
        deck.running = true;
        w.deckTimer->wake();
        showDeckState(deck, true);
    }
    if (deck.looks.redrawsBackdrop) w.content()->update();
}

void stopDeck(Deck& deck) {
    deck.running = false;
    showDeckState(deck, false);
    deck.forgetClips();
    for (platform::MoviePlayer* player : deck.players) {
        player->Stop();
        player->player().cancelCue();
    }
}

}  // namespace engine

void MainWindow::showSoundProblem(int32_t device, const QString& text) {
    soundProblemDevice = device;
    soundProblemText = text;
    statusLine->setText(text);
}

void MainWindow::forgetReturnedSoundProblem() {
    if (soundProblemText.isEmpty() || !media::routeAvailable(soundProblemDevice)) return;
    if (statusLine->Text() == soundProblemText) statusLine->setText(QString());
    soundProblemText.clear();
}

void MainWindow::play() { engine::toggleDeck(*this, playDeck); }

void MainWindow::preview() { engine::toggleDeck(*this, previewDeck); }

void MainWindow::playHeadButtonClicked() { play(); }

void MainWindow::previewHeadButtonClicked() { preview(); }
