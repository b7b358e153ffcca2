#include "shell/clip_handles.h"

#include "editing/clip_handles.h"
#include "model/lane_logic.h"

using model::Handle;

ClipHandles::ClipHandles(QObject* parent, model::Mix& mix, editing::EditHost& edits, MainMenu& menu,
                         std::array<LaneView*, 2> lanes, const Parts& parts)
    : QObject(parent), mix_(mix), edits_(edits), menu_(menu), lanes_(lanes), parts_(parts) {
    for (ClipHandle* h : {parts_.inPoint, parts_.outPoint, parts_.fadeIn, parts_.fadeOut}) {
        // The grabbed point of the handle stays under the mouse while it is dragged.
        connect(h, &ClipHandle::pressed, this, [this](int x) { dragStartX_ = x; });
        connect(h, &ClipHandle::dragged, this, [this, h](int x) { dragged(*h, x); });
        connect(h, &ClipHandle::released, this, [this, h] { released(*h); });
    }
    for (LaneView* lane : lanes_) {
        connect(lane, &LaneView::handlesShown, this, &ClipHandles::place);
        connect(lane, &LaneView::handlesHidden, this, &ClipHandles::hide);
    }
    // With no clip selected there are no handles either (the clip they stood at may have gone
    // to the other lane).
    connect(&mix_, &model::Mix::selectionChanged, this, [this] {
        if (!mix_.selection()) hide();
    });
}

void ClipHandles::place(const model::Clip& clip, int laneTop) {
    const int T = laneTop;
    menu_.clipSelected = true;
    const model::HandlePlaces at =
        model::handlePlaces(clip, mix_.scrollX(), T, parts_.inPoint->height());
    parts_.inPointGuide->setPoints(-100, T - 8, -100, T + 30);
    parts_.inPoint->move(at.inPointLeft, at.topRow);
    parts_.outPointGuide->setPoints(-900, T - 8, -900, T + 30);
    parts_.outPoint->move(at.outPointLeft, at.topRow);
    parts_.fadeIn->move(at.fadeInLeft, at.bottomRow);
    parts_.fadeOut->move(at.fadeOutLeft, at.bottomRow);
}

void ClipHandles::hide() {
    menu_.clipSelected = false;
    parts_.inPointGuide->setPoints(-10, -10, -10, -10);
    parts_.outPointGuide->setPoints(-10, -10, -10, -10);
    // Off to the left, tops kept.
    for (ClipHandle* h : {parts_.inPoint, parts_.fadeIn})
        h->move(parts_.inPointGuide->x1() - 6, h->y());
    for (ClipHandle* h : {parts_.outPoint, parts_.fadeOut})
        h->move(parts_.outPointGuide->x1(), h->y());
}

// Moves the handle sideways with the mouse. There are no bounds while dragging: the release
// decides what the place means.
void ClipHandles::dragged(ClipHandle& handle, int x) {
    if (x == dragStartX_) return;
    handle.move(handle.x() + (x - dragStartX_), handle.y());
    platform::Line* guide = parts_.inPointGuide;
    const auto placeGuideLine = [guide](int at) {
        guide->setPoints(at, guide->y1(), at, guide->y2());
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
            for (LaneView* lane : lanes_) lane->redrawPictures();
            break;
    }
}

void ClipHandles::released(const ClipHandle& handle) {
    editing::releaseHandleAt(mix_, edits_, handle.which(),
                             model::handleHotSpot(handle.which(), handle.x(), handle.width()));
}
