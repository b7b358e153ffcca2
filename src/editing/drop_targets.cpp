// The two lanes as drop targets: what they take, lighting up while a drag hovers over them, the
// lane the mouse last entered, and handing a drop on.
#include "editing/drop_logic.h"
#include "platform/numtext.h"
#include "shell/pictures.h"
#include "shell/window1.h"

using platform::DragItem;

namespace {

void acceptLaneDrops(DragCanvas& lane) {
    lane.AcceptPictureDrop();  // a clip dragged from the other lane
    for (const QString& type : editing::laneFileTypes()) lane.AcceptFileDrop(type);
    lane.AcceptTextDrop();  // a file URL or path
    lane.AcceptMacDataDrop(QStringLiteral("itun"));
}

bool laneDragEnter(Window1& w, DragCanvas& lane) {
    lane.setBackdrop(spurhell());
    w.dropbar = true;
    return false;  // never refuse the drag
}

void laneMouseEnter(Window1& w, int lane) {
    w.aktivcanvas = lane;
    w.msg->setText(Str(w.aktivcanvas));
}

}  // namespace

void Window1::Canvas1_Open() { acceptLaneDrops(*Canvas1); }
void Window1::Canvas2_Open() { acceptLaneDrops(*Canvas2); }

bool Window1::Canvas1_DragEnter(DragItem&, int) { return laneDragEnter(*this, *Canvas1); }
bool Window1::Canvas2_DragEnter(DragItem&, int) { return laneDragEnter(*this, *Canvas2); }

void Window1::Canvas1_DragExit(DragItem&, int) { Canvas1->setBackdrop(spur()); }
void Window1::Canvas2_DragExit(DragItem&, int) { Canvas2->setBackdrop(spur()); }

void Window1::Canvas1_MouseEnter() { laneMouseEnter(*this, 1); }
void Window1::Canvas2_MouseEnter() { laneMouseEnter(*this, 2); }

void Window1::Canvas1_DropObject(DragItem& item, int action) {
    dropaufcanvas(Canvas1, item, action);
}
void Window1::Canvas2_DropObject(DragItem& item, int action) {
    dropaufcanvas(Canvas2, item, action);
}
