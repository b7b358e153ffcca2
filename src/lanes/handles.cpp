// The selected clip's edit handles stand at the clip this lane presses; whoever shows them
// listens.
#include "lanes/lane_view.h"

void LaneView::showHandles() {
    if (!draggedClip) return;
    mix_.markChanged();
    emit handlesShown(*draggedClip, y());
}

void LaneView::clearSelection() {
    redrawPictures();
    emit handlesHidden();
    setBackdrop(host_.laneBackdrop());
    mix_.markChanged();
}
