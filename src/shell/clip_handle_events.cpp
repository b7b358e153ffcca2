// The four handles of the selected clip: press one, drag it sideways and release it to set the
// clip's in point, out point, end of the fade-in or start of the fade-out.
#include "editing/clip_handles.h"
#include "shell/main_window.h"

using editing::Handle;

namespace {

bool pressHandle(MainWindow& w, int x) {
    w.handleDragStartX =
        x;  // the grabbed point of the handle stays under the mouse while it is dragged
    return true;
}

// Moves the handle sideways with the mouse; false when the mouse did not move. There are no
// bounds while dragging: the release decides what the place means.
bool dragHandle(MainWindow& w, platform::Control& handle, int x) {
    if (x == w.handleDragStartX) return false;
    handle.setLeft(handle.Left() + (x - w.handleDragStartX));
    return true;
}

void placeGuideLine(MainWindow& w, int x) {
    w.inPointGuide->setPoints(x, w.inPointGuide->Y1(), x, w.inPointGuide->Y2());
}

void redrawPressedClips(MainWindow& w) {
    w.laneView1->redrawPictures();
    w.laneView2->redrawPictures();
}

void releaseHandle(MainWindow& w, const platform::Control& handle, Handle which) {
    editing::releaseHandleAt(w.mix, w, which,
                             editing::handleHotSpot(which, handle.Left(), handle.Width()));
}

}  // namespace

bool MainWindow::inPointHandlePressed(int x, int) { return pressHandle(*this, x); }
bool MainWindow::outPointHandlePressed(int x, int) { return pressHandle(*this, x); }
bool MainWindow::fadeInHandlePressed(int x, int) { return pressHandle(*this, x); }
bool MainWindow::fadeOutHandlePressed(int x, int) { return pressHandle(*this, x); }

void MainWindow::inPointHandleDragged(int x, int) {
    if (dragHandle(*this, *inPointHandle, x))
        placeGuideLine(*this, editing::handleHotSpot(Handle::In, inPointHandle->Left(),
                                                     inPointHandle->Width()));
}

void MainWindow::outPointHandleDragged(int x, int) {
    if (dragHandle(*this, *outPointHandle, x)) placeGuideLine(*this, outPointHandle->Left());
}

void MainWindow::fadeInHandleDragged(int x, int) {
    if (dragHandle(*this, *fadeInHandle, x)) redrawPressedClips(*this);
}

void MainWindow::fadeOutHandleDragged(int x, int) {
    if (dragHandle(*this, *fadeOutHandle, x)) redrawPressedClips(*this);
}

void MainWindow::inPointHandleReleased(int, int) {
    releaseHandle(*this, *inPointHandle, Handle::In);
}
void MainWindow::outPointHandleReleased(int, int) {
    releaseHandle(*this, *outPointHandle, Handle::Out);
}
void MainWindow::fadeInHandleReleased(int, int) {
    releaseHandle(*this, *fadeInHandle, Handle::FadeIn);
}
void MainWindow::fadeOutHandleReleased(int, int) {
    releaseHandle(*this, *fadeOutHandle, Handle::FadeOut);
}
