// The selected clip's edit handles, shown by the window at the clip this lane presses.
#include "lanes/lane_view.h"

void LaneView::showHandles() {
    if (!draggedClip) return;
    mix_.markChanged();
    host_.showHandles(*draggedClip, y());
}

void LaneView::clearSelection() {
    redrawPictures();
    host_.hideHandles();
    setBackdrop(host_.laneBackdrop());
    mix_.markChanged();
}
