// The two lanes as drop targets: what they take, lighting up while a drag hovers over them, the
// lane the mouse last entered, and handing a drop on.
#include "model/drop_logic.h"
#include "model/numtext.h"
#include "shell/main_window.h"
#include "shell/pictures.h"

using platform::DragItem;

namespace {

void acceptLaneDrops(LaneView& lane) {
    lane.AcceptPictureDrop();  // a clip dragged from the other lane
    for (const QString& type : editing::laneFileTypes()) lane.AcceptFileDrop(type);
    lane.AcceptTextDrop();  // a file URL or path
    lane.AcceptMacDataDrop(QStringLiteral("itun"));
}

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

void MainWindow::lane1Opened() { acceptLaneDrops(*laneView1); }
void MainWindow::lane2Opened() { acceptLaneDrops(*laneView2); }

bool MainWindow::lane1DragEnter(DragItem&, int) { return laneDragEnter(*this, *laneView1); }
bool MainWindow::lane2DragEnter(DragItem&, int) { return laneDragEnter(*this, *laneView2); }

void MainWindow::lane1DragExit(DragItem&, int) { laneView1->setBackdrop(laneBackdropPicture()); }
void MainWindow::lane2DragExit(DragItem&, int) { laneView2->setBackdrop(laneBackdropPicture()); }

void MainWindow::lane1MouseEnter() { laneMouseEnter(*this, 1); }
void MainWindow::lane2MouseEnter() { laneMouseEnter(*this, 2); }

void MainWindow::lane1Drop(DragItem& item, int action) { dropOnLane(laneView1, item, action); }
void MainWindow::lane2Drop(DragItem& item, int action) { dropOnLane(laneView2, item, action); }
