// Transport: the play and preview toggles and the head buttons.
#include "engine/deck_bindings.h"
#include "media/output.h"
#include "shell/pictures.h"

namespace engine {

const DeckBinding& playDeck() {
    static const DeckBinding deck{&kPlayDeck,
                                  &MainWindow::playDeckRunning,
                                  &MainWindow::playHeadX,
                                  &MainWindow::movePlayHeadTo,
                                  &MainWindow::setPlayStartOffsets,
                                  {&MainWindow::playPlayer1, &MainWindow::playPlayer2},
                                  {&MainWindow::playClip1, &MainWindow::playClip2},
                                  {&MainWindow::lastPlayClip1, &MainWindow::lastPlayClip2},
                                  {&MainWindow::playTimeLabel1, &MainWindow::playTimeLabel2},
                                  &MainWindow::playHeadButton,
                                  &playButtonPicture,
                                  &pauseButtonPicture,
                                  &MainWindow::playItem,
                                  "Play",
                                  "Stop",
                                  false};
    return deck;
}

const DeckBinding& previewDeck() {
    static const DeckBinding deck{&kPreviewDeck,
                                  &MainWindow::previewDeckRunning,
                                  &MainWindow::previewHeadX,
                                  &MainWindow::movePreviewHeadTo,
                                  &MainWindow::setPreviewStartOffsets,
                                  {&MainWindow::previewPlayer1, &MainWindow::previewPlayer2},
                                  {&MainWindow::previewClip1, &MainWindow::previewClip2},
                                  {&MainWindow::lastPreviewClip1, &MainWindow::lastPreviewClip2},
                                  {&MainWindow::previewTimeLabel1, &MainWindow::previewTimeLabel2},
                                  &MainWindow::previewHeadButton,
                                  &previewButtonPicture,
                                  &previewPauseButtonPicture,
                                  &MainWindow::previewItem,
                                  "Preview",
                                  "Stop Preview",
                                  true};
    return deck;
}

namespace {

void showDeckState(MainWindow& w, const DeckBinding& deck, bool running) {
    (w.*deck.button)->setIcon(running ? deck.runningIcon() : deck.stoppedIcon());
    if (platform::MenuItem* item = (w.*deck.menuItem)()) {
        item->setText(QString::fromLatin1(running ? deck.runningText : deck.stoppedText));
    }
}

void toggleDeck(MainWindow& w, const DeckBinding& deck) {
    if (w.*deck.running) {
        stopDeck(w, deck);
    } else {
        // The toggle starts no sound itself: the next tick loads the clips under the head. A
        // sound server or device that came back since the last Play is found again here.
        media::refreshOutputs();
        w.forgetReturnedSoundProblem();
        (w.*deck.setStartPos)(w.*deck.head);
        w.*deck.running = true;
        w.deckTimer->wake();
        showDeckState(w, deck, true);
    }
    if (deck.redrawsBackdrop) w.content()->update();
}

}  // namespace

void stopDeck(MainWindow& w, const DeckBinding& deck) {
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

void MainWindow::play() { engine::toggleDeck(*this, engine::playDeck()); }

void MainWindow::preview() { engine::toggleDeck(*this, engine::previewDeck()); }

void MainWindow::playHeadButtonClicked() { play(); }

void MainWindow::previewHeadButtonClicked() { preview(); }
