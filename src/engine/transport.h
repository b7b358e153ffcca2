#pragma once
// Starting and stopping a deck.

#include "engine/deck.h"

class MainWindow;

namespace engine {

// Starts a stopped deck from its head (the next tick loads the clips under it), or stops it.
void toggleDeck(MainWindow& w, Deck& deck);

// Stops a deck: flag off, button and menu show "stopped", its clips forgotten, both players
// stopped. The head stays where it is and the players keep their movies.
void stopDeck(Deck& deck);

}  // namespace engine
