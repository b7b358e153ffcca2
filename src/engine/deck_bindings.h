#pragma once
// The main window's side of the two decks: which flag, head, players, clips, labels, button and
// menu item belong to each. The tick, the transport and the background click share this table.

#include <array>

#include "engine/deck.h"
#include "shell/window1.h"

namespace engine {

struct DeckBinding {
    const DeckTraits* traits;
    bool Window1::*running;
    double Window1::*head;
    void (Window1::*moveHead)(double);
    void (Window1::*setStartPos)(double);
    std::array<platform::MoviePlayer * Window1::*, 2> players;
    std::array<DragPicRef Window1::*, 2> current, last;
    std::array<platform::StaticText * Window1::*, 2> labels;
    platform::BevelButton* Window1::*button;
    platform::PictureRef (*stoppedIcon)();
    platform::PictureRef (*runningIcon)();
    platform::MenuItem* (Window1::*menuItem)();
    const char* stoppedText;
    const char* runningText;
    bool redrawsBackdrop;  // the preview toggle repaints the window background
};

const DeckBinding& playDeck();
const DeckBinding& previewDeck();

// Stops a deck: flag off, button and menu show "stopped", its clips forgotten, both players
// stopped. The head stays where it is and the players keep their movies.
void stopDeck(Window1& w, const DeckBinding& deck);

}  // namespace engine
