// The four edit handles of the selected clip and their guide lines; one set for both lanes.
#include "lanes/lane_view.h"
#include "model/lane_logic.h"
#include "shell/main_window.h"
#include "shell/menu.h"
#include "shell/pictures.h"

namespace {
void setEditItems(bool on) {
    for (platform::MenuItem* item : {clearItem(), copyItem(), cutItem()}) {
        if (item) item->AutoEnable = on;
    }
}

// The handles and guide lines go out of sight, and the edits that need a clip grey out.
void hideHandles(MainWindow& w) {
    setEditItems(false);
    w.inPointGuide->setPoints(-10, -10, -10, -10);
    w.inPointHandle->setLeft(w.inPointGuide->X1() - 6);
    w.fadeInHandle->setLeft(w.inPointGuide->X1() - 6);
    w.outPointGuide->setPoints(-10, -10, -10, -10);
    w.outPointHandle->setLeft(w.outPointGuide->X1());
    w.fadeOutHandle->setLeft(w.outPointGuide->X1());
}
}  // namespace

void LaneView::showHandles() {
    MainWindow* w = win();
    if (!draggedClip || !w) return;
    const int T = Top();
    w->mix.document.saved = 0;
    setEditItems(true);
    const lanes::HandlePlaces at = lanes::handlePlaces(*draggedClip, T, w->inPointHandle->Height());
    w->inPointGuide->setPoints(-100, T - 8, -100, T + 30);
    w->inPointHandle->setLeft(at.inPointLeft);
    w->inPointHandle->setTop(at.topRow);
    w->outPointGuide->setPoints(-900, T - 8, -900, T + 30);
    w->outPointHandle->setLeft(at.outPointLeft);
    w->outPointHandle->setTop(at.topRow);
    w->fadeInHandle->setLeft(at.fadeInLeft);
    w->fadeInHandle->setTop(at.bottomRow);
    w->fadeOutHandle->setLeft(at.fadeOutLeft);
    w->fadeOutHandle->setTop(at.bottomRow);
}

void LaneView::clearSelection() {
    MainWindow* w = win();
    if (!w) return;
    redrawPictures();
    hideHandles(*w);
    setBackdrop(laneBackdropPicture());
    w->mix.document.saved = 0;
}

void MainWindow::updateHandles() {
    if (LaneView* lane = this->lane(mix.selectedLane)) {
        lane->showHandles();
        lane->redrawPictures();
        lane->update();
    }
}

void MainWindow::refreshLanes() {
    mix.selectedIndex = -1;
    mix.selectedLane = 0;
    // No clip is selected any more, so no handles either (the clip they stood at may have gone to
    // the other lane).
    hideHandles(*this);
    laneView1->Refresh();
    laneView2->Refresh();
}
