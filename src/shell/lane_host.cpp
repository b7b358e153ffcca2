// The window's side of the lanes: the edit handles and guide lines it owns, the status line, the
// Edit menu and pictures a lane asks for.
#include "model/lane_logic.h"
#include "shell/main_window.h"
#include "shell/pictures.h"

void MainWindow::placeHandles(const model::Clip& clip, int laneTop) {
    const int T = laneTop;
    menu->clipSelected = true;
    const model::HandlePlaces at =
        model::handlePlaces(clip, mix.scrollX, T, handles.inPoint->height());
    handles.inPointGuide->setPoints(-100, T - 8, -100, T + 30);
    handles.inPoint->move(at.inPointLeft, at.topRow);
    handles.outPointGuide->setPoints(-900, T - 8, -900, T + 30);
    handles.outPoint->move(at.outPointLeft, at.topRow);
    handles.fadeIn->move(at.fadeInLeft, at.bottomRow);
    handles.fadeOut->move(at.fadeOutLeft, at.bottomRow);
}

void MainWindow::hideHandles() {
    menu->clipSelected = false;
    handles.inPointGuide->setPoints(-10, -10, -10, -10);
    handles.outPointGuide->setPoints(-10, -10, -10, -10);
    // Off to the left, tops kept.
    for (ClipHandle* h : {handles.inPoint, handles.fadeIn})
        h->move(handles.inPointGuide->x1() - 6, h->y());
    for (ClipHandle* h : {handles.outPoint, handles.fadeOut})
        h->move(handles.outPointGuide->x1(), h->y());
}

void MainWindow::showStatus(const QString& text) { statusLine->setText(text); }

void MainWindow::reportOverlap() {
    statusLine->setText(QStringLiteral("do not drop one track onto another"));
}

model::PictureRef MainWindow::laneBackdrop() { return laneBackdropPicture(); }

model::PictureRef MainWindow::clipPicture(const model::Clip& c) {
    return makeClipPicture(c.name, c.lengthPx, c.fadeInEnd, c.fadeOutStart, c.inPoint, c.outPoint,
                           c.label);
}

void MainWindow::shiftDragStarted(int fromLane) { shiftDragSourceLane = fromLane; }

void MainWindow::retakePreviewStartOffsets() {
    setStartOffsets(previewDeck, previewDeckView->headX());
}
