// The four edit handles of the selected clip and their guide lines; one set for both lanes.
#include "lanes/dragcanvas.h"
#include "lanes/lane_logic.h"
#include "shell/menu.h"
#include "shell/pictures.h"
#include "shell/window1.h"

namespace {
void setEditItems(bool on) {
    for (platform::MenuItem* item : {EditClear(), EditCopy(), EditCut()}) {
        if (item) item->AutoEnable = on;
    }
}

// The handles and guide lines go out of sight, and the edits that need a clip grey out.
void hideHandles(Window1& w) {
    setEditItems(false);
    w.Line1->setPoints(-10, -10, -10, -10);
    w.inp->setLeft(w.Line1->X1() - 6);
    w.fadein->setLeft(w.Line1->X1() - 6);
    w.Line2->setPoints(-10, -10, -10, -10);
    w.outp->setLeft(w.Line2->X1());
    w.fadeout->setLeft(w.Line2->X1());
}
}  // namespace

void DragCanvas::aktivierebalken() {
    Window1* w = win();
    if (!mDragging || !w) return;
    const int T = Top();
    w->suddensaveflag = 0;
    setEditItems(true);
    const lanes::HandlePlaces at = lanes::handlePlaces(*mDragging, T, w->inp->Height());
    w->Line1->setPoints(-100, T - 8, -100, T + 30);
    w->inp->setLeft(at.inpLeft);
    w->inp->setTop(at.topRow);
    w->Line2->setPoints(-900, T - 8, -900, T + 30);
    w->outp->setLeft(at.outpLeft);
    w->outp->setTop(at.topRow);
    w->fadein->setLeft(at.fadeinLeft);
    w->fadein->setTop(at.bottomRow);
    w->fadeout->setLeft(at.fadeoutLeft);
    w->fadeout->setTop(at.bottomRow);
}

void DragCanvas::versteckebalken() {
    Window1* w = win();
    if (!w) return;
    imgredraw();
    hideHandles(*w);
    setBackdrop(spur());
    w->suddensaveflag = 0;
}

void Window1::balkenhandlerupdate() {
    if (DragCanvas* lane = this->lane(balkenaktivspur)) {
        lane->aktivierebalken();
        lane->imgredraw();
        lane->update();
    }
}

void Window1::refreshc() {
    balkenaktiv = -1;
    balkenaktivspur = 0;
    // No clip is selected any more, so no handles either (the clip they stood at may have gone to
    // the other lane).
    hideHandles(*this);
    Canvas1->Refresh();
    Canvas2->Refresh();
}
