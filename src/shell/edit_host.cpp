// The main window as the host of the edit commands: they change the mix, the window shows it.
#include "editing/clipboard.h"
#include "shell/main_window.h"

void MainWindow::clear() { editing::clearSelectedClip(mix, *this); }

void MainWindow::copy() {
    if (!editing::copySelectedClip(mix, *this)) return;
    menu->pasteAllowed = true;
}

void MainWindow::paste() { editing::pasteClipboardClip(mix, *this); }

model::ClipRef MainWindow::pressedClip(int n) const {
    const LaneView* view = lane(n);
    return view ? view->draggedClip : nullptr;
}

bool MainWindow::soundingOnPlayDeck(const model::ClipRef& clip) const {
    return clip && (clip == playDeck.current[0] || clip == playDeck.current[1]);
}

QString MainWindow::statusText() const { return statusLine->text(); }
void MainWindow::setStatusText(const QString& text) { statusLine->setText(text); }

void MainWindow::clearLaneSelection(int n) {
    if (LaneView* view = lane(n)) view->clearSelection();
}

void MainWindow::togglePreview() { preview(); }
void MainWindow::exportMix() { exportMovie(); }
