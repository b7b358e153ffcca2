// The two lanes as drop targets: lighting up while a drag hovers over them, the lane the mouse
// last entered, and handing a drop on to the edit commands.
#include "editing/lane_drops.h"
#include "shell/main_window.h"
#include "shell/pictures.h"

using platform::DragItem;

void MainWindow::dragEnteredLane(LaneView& lane) {
    lane.setBackdrop(laneHighlightPicture());
    dropPending = true;
}

void MainWindow::dragLeftLane(LaneView& lane) { lane.setBackdrop(laneBackdropPicture()); }

void MainWindow::mouseEnteredLane(int lane) {
    activeLane = lane;
    statusLine->setText(QString::number(activeLane));
}

void MainWindow::droppedOnLane(LaneView& lane, const DragItem& item) {
    lane.setBackdrop(laneBackdropPicture());
    // One drag that entered a lane gives at most one handled drop.
    if (!dropPending) return;
    dropPending = false;
    editing::takeLaneDrop(mix, *this, lane.lane(), item);
}

QString MainWindow::dropFromLibrary(const DragItem& item) {
    return editing::libraryTrackPath(item);
}
