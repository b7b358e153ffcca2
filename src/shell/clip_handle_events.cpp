// The four handles of the selected clip: press one, drag it sideways and release it to set the
// clip's in point, out point, end of the fade-in or start of the fade-out.
#include "editing/clip_handles.h"
#include "shell/main_window.h"

using model::Handle;

// The grabbed point of the handle stays under the mouse while it is dragged.
void MainWindow::handlePressed(int x) { handleDragStartX = x; }

// Moves the handle sideways with the mouse. There are no bounds while dragging: the release
// decides what the place means.
void MainWindow::handleDragged(ClipHandle& handle, int x) {
    if (x == handleDragStartX) return;
    handle.move(handle.x() + (x - handleDragStartX), handle.y());
    const auto placeGuideLine = [this](int at) {
        handles.inPointGuide->setPoints(at, handles.inPointGuide->y1(), at,
                                        handles.inPointGuide->y2());
    };
    switch (handle.which()) {
        case Handle::In:
            placeGuideLine(model::handleHotSpot(Handle::In, handle.x(), handle.width()));
            break;
        case Handle::Out:
            placeGuideLine(handle.x());
            break;
        case Handle::FadeIn:
        case Handle::FadeOut:
            laneView1->redrawPictures();
            laneView2->redrawPictures();
            break;
    }
}

void MainWindow::handleReleased(const ClipHandle& handle) {
    editing::releaseHandleAt(mix, *this, handle.which(),
                             model::handleHotSpot(handle.which(), handle.x(), handle.width()));
}
