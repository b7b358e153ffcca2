// The window's side of the transport: its play and preview commands, the head buttons, and what
// the decks need from the window (its width, the preview device, the status line, the timer).
#include "engine/routing.h"
#include "engine/transport.h"
#include "shell/main_window.h"

void MainWindow::play() { transport.toggle(playDeck); }

void MainWindow::preview() { transport.toggle(previewDeck); }

void MainWindow::moveHeadTo(engine::Deck& deck, double x) {
    engine::moveHead(deck, x, viewWidth(), static_cast<double>(mix.scrollX));
}

void MainWindow::setStartOffsets(engine::Deck& deck, double pos) {
    engine::setStartOffsets(deck, mix, pos);
}

void MainWindow::showSoundProblem(int32_t device, const QString& text) {
    transport.showSoundProblem(device, text);
}

int MainWindow::viewWidth() const { return centralWidget()->width(); }

int32_t MainWindow::previewOutputDevice() const { return previewDevice; }

void MainWindow::redrawBackdrop() { centralWidget()->update(); }

engine::TickTimer& MainWindow::tickTimer() { return deckTimer; }
