// The main window's key events run the keyboard commands.
#include "editing/keyboard_commands.h"
#include "shell/main_window.h"

bool MainWindow::KeyDown(const QString&) {
    editing::keyPressed(mix, *this, {*spaceLatch, *volumeMeter});
    return false;
}

void MainWindow::KeyUp(const QString&) { editing::keyReleased(*spaceLatch); }

void MainWindow::Deactivate() { editing::focusLost(*spaceLatch); }
