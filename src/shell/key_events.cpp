// The main window's key events run the keyboard commands.
#include <QKeyEvent>

#include "editing/keyboard_commands.h"
#include "platform/keyboard.h"
#include "shell/main_window.h"

void MainWindow::keyPressed() { editing::keyPressed(mix, *this, {previewLatched, *volumeMeter}); }

void MainWindow::keyPressEvent(QKeyEvent* e) {
    if (!platform::Keyboard::isModifierKey(e->key())) keyPressed();
    QMainWindow::keyPressEvent(e);
}

void MainWindow::keyReleaseEvent(QKeyEvent* e) {
    if (!e->isAutoRepeat() && !platform::Keyboard::isModifierKey(e->key()))
        editing::keyReleased(previewLatched);
    QMainWindow::keyReleaseEvent(e);
}

bool MainWindow::event(QEvent* e) {
    // Keys let go while the window has no focus are not reported to it: the latch opens now.
    if (e->type() == QEvent::WindowDeactivate) previewLatched = false;
    return QMainWindow::event(e);
}
