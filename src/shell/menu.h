#pragma once
// The one menu bar, shared by the application object and the main window.

#include "platform/menu.h"

class Menu : public platform::MenuBar {
public:
    Menu();
    // Builds the bar on the first call and returns the same object ever after.
    static Menu* instance();
};
