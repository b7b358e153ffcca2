// The play and preview heads: placing their controls and taking the start offsets from them.
#include "engine/head_controls.h"

namespace engine {

HeadControls playHeadControls(MainWindow& w) {
    return {w.playHeadButton, w.playHeadLine, w.playHeadMark, {w.playTimeLabel1, w.playTimeLabel2}};
}

HeadControls previewHeadControls(MainWindow& w) {
    return {w.previewHeadButton,
            w.previewHeadLine,
            w.previewHeadMark,
            {w.previewTimeLabel1, w.previewTimeLabel2}};
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
void setStartOffsets(LaneView* lane, double head, double pos, double Clip::*offset) {
    engine::assignStartOffsets(lane->clips, lane->clipUnder(head), pos, offset);
}

}  // namespace

void MainWindow::movePlayHeadTo(double x) {
    playHeadX = x;
    engine::placeHeadControls(engine::placeHead(x, Width(), 4), engine::playHeadControls(*this));
    playHeadTimelineX = playHeadX + static_cast<double>(scrollX);
}

void MainWindow::movePreviewHeadTo(double x) {
    previewHeadX = x;
    engine::placeHeadControls(engine::placeHead(x, Width(), 11),
                              engine::previewHeadControls(*this));
    previewHeadTimelineX = previewHeadX + static_cast<double>(scrollX);
}

void MainWindow::setPlayStartOffsets(double pos) {
    playClip1 = nullptr;
    playClip2 = nullptr;
    setStartOffsets(laneView1, playHeadX, pos, &Clip::playStart);
    setStartOffsets(laneView2, playHeadX, pos, &Clip::playStart);
}

// The clips now sounding on the preview deck stay: the tick decides what plays next.
void MainWindow::setPreviewStartOffsets(double pos) {
    setStartOffsets(laneView1, previewHeadX, pos, &Clip::previewStart);
    setStartOffsets(laneView2, previewHeadX, pos, &Clip::previewStart);
}
