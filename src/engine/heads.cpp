// The play and preview heads: placing their controls and taking the start offsets from them.
#include "engine/head_geometry.h"
#include "shell/window1.h"

namespace {

struct HeadControls {
    platform::BevelButton* button;
    platform::Line* line;
    platform::Separator* sep;
    platform::StaticText* labels[2];
};

void placeHeadControls(const engine::HeadPlacement& p, const HeadControls& c) {
    c.button->setLeft(p.button);
    c.line->setPoints(p.line, c.line->Y1(), p.line, c.line->Y2());
    c.sep->setLeft(p.line);
    // A label with no text stays where it is while the head is shown; parking takes both.
    for (platform::StaticText* label : c.labels) {
        if (!p.shown || !label->Text().isEmpty()) label->setLeft(p.label);
    }
}

void setStartOffsets(DragCanvas* lane, double head, double DragPic::*offset) {
    engine::assignStartOffsets(lane->mPics, lane->LineHit(head), head, offset);
}

}  // namespace

void Window1::MovePlayerLineTo(double x) {
    playbalken = x;
    placeHeadControls(engine::placeHead(x, Width(), 4),
                      {playbutton, playline, playsepline, {playtime, playtime2}});
    splayline = playbalken + static_cast<double>(scrollwert);
}

void Window1::MovePreviewLineTo(double x) {
    previewbalken = x;
    placeHeadControls(engine::placeHead(x, Width(), 11),
                      {Previewbutton, previewLine, previewsepline, {previewtime, previewtime2}});
    spreviewline = previewbalken + static_cast<double>(scrollwert);
}

void Window1::SetPlayStartPos() {
    pam = nullptr;
    pam2 = nullptr;
    setStartOffsets(Canvas1, playbalken, &DragPic::pplaypos);
    setStartOffsets(Canvas2, playbalken, &DragPic::pplaypos);
}

// The clips now sounding on the preview deck stay: the tick decides what plays next.
void Window1::SetPreviewStartPos() {
    setStartOffsets(Canvas1, previewbalken, &DragPic::ppreviewpos);
    setStartOffsets(Canvas2, previewbalken, &DragPic::ppreviewpos);
}
