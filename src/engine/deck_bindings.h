#pragma once
// The main window's side of the two decks: which flag, head, players, clips, labels, button and
// menu item belong to each. The tick, the transport and the background click share this table.

#include <array>

#include "engine/deck.h"
#include "shell/main_window.h"

namespace engine {

struct DeckBinding {
    const DeckTraits* traits;
    bool MainWindow::*running;
    double MainWindow::*head;
    void (MainWindow::*moveHead)(double);
    void (MainWindow::*setStartPos)(double);
    std::array<platform::MoviePlayer * MainWindow::*, 2> players;
    std::array<ClipRef MainWindow::*, 2> current, last;
    std::array<platform::StaticText * MainWindow::*, 2> labels;
    platform::BevelButton* MainWindow::*button;
    platform::PictureRef (*stoppedIcon)();
    platform::PictureRef (*runningIcon)();
    platform::MenuItem* (MainWindow::*menuItem)();
    const char* stoppedText;
    const char* runningText;
    bool redrawsBackdrop;  // the preview toggle repaints the window background
};

const DeckBinding& playDeck();
const DeckBinding& previewDeck();

// Stops a deck: flag off, button and menu show "stopped", its clips forgotten, both players
// stopped. The head stays where it is and the players keep their movies.
void stopDeck(MainWindow& w, const DeckBinding& deck);

}  // namespace engine
