// The window's side of the transport: its play and preview commands, the head buttons, and what
// the decks need from the window (the preview device, the status line).
#include "engine/routing.h"
#include "engine/transport.h"
#include "shell/main_window.h"

void MainWindow::play() { transport.toggle(playDeck); }

void MainWindow::preview() { transport.toggle(previewDeck); }

void MainWindow::moveHeadTo(engine::Deck& deck, double x) {
    deck.setHead(x + static_cast<double>(mix.scrollX));
}

void MainWindow::setStartOffsets(engine::Deck& deck, double pos) {
    transport.setStartOffsets(deck, pos);
}

void MainWindow::showSoundProblem(int32_t device, const QString& text) {
    transport.showSoundProblem(device, text);
}

int MainWindow::viewWidth() const { return centralWidget()->width(); }

int32_t MainWindow::previewOutputDevice() const { return previewDevice; }
