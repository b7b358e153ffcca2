#pragma once
// The one menu bar, shared by the application object and the main window.

#include "platform/menu.h"

class Menu : public platform::MenuBar {
  public:
    Menu();
    // Builds the bar on the first call and returns the same object ever after.
    static Menu* instance();
};

// Items of the shared menu bar by name, through the application object.
platform::MenuItem* clearItem();
platform::MenuItem* copyItem();
platform::MenuItem* cutItem();
