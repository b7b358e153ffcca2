// The play and preview heads: placing their controls and taking the start offsets from them.
#include "engine/head_controls.h"

namespace engine {

HeadControls playHeadControls(Window1& w) {
    return {w.playbutton, w.playline, w.playsepline, {w.playtime, w.playtime2}};
}

HeadControls previewHeadControls(Window1& w) {
    return {w.Previewbutton, w.previewLine, w.previewsepline, {w.previewtime, w.previewtime2}};
}

void placeHeadControls(const HeadPlacement& p, const HeadControls& c, bool allLabels) {
    c.button->setLeft(p.button);
    c.line->setPoints(p.line, c.line->Y1(), p.line, c.line->Y2());
    c.sep->setLeft(p.line);
    // A label with no text stays where it is while the head is shown; parking takes both.
    for (platform::StaticText* label : c.labels) {
        if (allLabels || !p.shown || !label->Text().isEmpty()) label->setLeft(p.label);
    }
}

}  // namespace engine

namespace {

// The clip is found at the head, the offset measured from pos; every caller passes the head.
void setStartOffsets(DragCanvas* lane, double head, double pos, double DragPic::*offset) {
    engine::assignStartOffsets(lane->mPics, lane->LineHit(head), pos, offset);
}

}  // namespace

void Window1::MovePlayerLineTo(double x) {
    playbalken = x;
    engine::placeHeadControls(engine::placeHead(x, Width(), 4), engine::playHeadControls(*this));
    splayline = playbalken + static_cast<double>(scrollwert);
}

void Window1::MovePreviewLineTo(double x) {
    previewbalken = x;
    engine::placeHeadControls(engine::placeHead(x, Width(), 11),
                              engine::previewHeadControls(*this));
    spreviewline = previewbalken + static_cast<double>(scrollwert);
}

void Window1::SetPlayStartPos(double pos) {
    pam = nullptr;
    pam2 = nullptr;
    setStartOffsets(Canvas1, playbalken, pos, &DragPic::pplaypos);
    setStartOffsets(Canvas2, playbalken, pos, &DragPic::pplaypos);
}

// The clips now sounding on the preview deck stay: the tick decides what plays next.
void Window1::SetPreviewStartPos(double pos) {
    setStartOffsets(Canvas1, previewbalken, pos, &DragPic::ppreviewpos);
    setStartOffsets(Canvas2, previewbalken, pos, &DragPic::ppreviewpos);
}
