// The main window's key events run the keyboard commands.
#include <QKeyEvent>

#include "editing/keyboard_commands.h"
#include "platform/keyboard.h"
#include "shell/main_window.h"

void MainWindow::keyPressed() { editing::keyPressed(mix, *this, {*spaceLatch, *volumeMeter}); }

void MainWindow::keyPressEvent(QKeyEvent* e) {
    if (!platform::Keyboard::isModifierKey(e->key())) keyPressed();
    QMainWindow::keyPressEvent(e);
}

void MainWindow::keyReleaseEvent(QKeyEvent* e) {
    if (!e->isAutoRepeat() && !platform::Keyboard::isModifierKey(e->key()))
        editing::keyReleased(*spaceLatch);
    QMainWindow::keyReleaseEvent(e);
}

bool MainWindow::event(QEvent* e) {
    // Keys let go while the window has no focus are not reported to it.
    if (e->type() == QEvent::WindowDeactivate) editing::focusLost(*spaceLatch);
    return QMainWindow::event(e);
}
