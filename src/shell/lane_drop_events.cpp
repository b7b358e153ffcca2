// The two lanes as drop targets: lighting up while a drag hovers over them, the lane the mouse
// last entered, and handing a drop on to the edit commands.
#include "editing/lane_drops.h"
#include "model/numtext.h"
#include "shell/main_window.h"
#include "shell/pictures.h"

using platform::DragItem;

namespace {

bool laneDragEnter(MainWindow& w, LaneView& lane) {
    lane.setBackdrop(laneHighlightPicture());
    w.dropPending = true;
    return false;  // never refuse the drag
}

void laneMouseEnter(MainWindow& w, int lane) {
    w.activeLane = lane;
    w.statusLine->setText(Str(w.activeLane));
}

}  // namespace

void MainWindow::lane1Opened() { editing::acceptLaneDrops(*laneView1); }
void MainWindow::lane2Opened() { editing::acceptLaneDrops(*laneView2); }

bool MainWindow::lane1DragEnter(DragItem&, int) { return laneDragEnter(*this, *laneView1); }
bool MainWindow::lane2DragEnter(DragItem&, int) { return laneDragEnter(*this, *laneView2); }

void MainWindow::lane1DragExit(DragItem&, int) { laneView1->setBackdrop(laneBackdropPicture()); }
void MainWindow::lane2DragExit(DragItem&, int) { laneView2->setBackdrop(laneBackdropPicture()); }

void MainWindow::lane1MouseEnter() { laneMouseEnter(*this, 1); }
void MainWindow::lane2MouseEnter() { laneMouseEnter(*this, 2); }

void MainWindow::lane1Drop(DragItem& item, int action) { dropOnLane(laneView1, item, action); }
void MainWindow::lane2Drop(DragItem& item, int action) { dropOnLane(laneView2, item, action); }

void MainWindow::dropOnLane(LaneView* canvas, DragItem& item, int) {
    if (!canvas) return;
    canvas->setBackdrop(laneBackdropPicture());
    // One drag that entered a lane gives at most one handled drop.
    if (!dropPending) return;
    dropPending = false;
    editing::takeLaneDrop(mix, *this, canvas->lane(), item);
}

QString MainWindow::dropFromLibrary(DragItem& item) { return editing::libraryTrackPath(item); }
