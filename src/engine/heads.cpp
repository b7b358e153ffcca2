// The play and preview heads: placing their controls and taking the start offsets from them.
#include "engine/deck.h"
#include "shell/main_window.h"

namespace engine {

void Deck::placeControls(const HeadPlacement& p, bool allLabels) {
    button->setLeft(p.button);
    line->setPoints(p.line, line->Y1(), p.line, line->Y2());
    mark->setLeft(p.line);
    // A label with no text stays where it is while the head is shown; parking takes both.
    for (platform::StaticText* label : labels) {
        if (allLabels || !p.shown || !label->Text().isEmpty()) label->setLeft(p.label);
    }
}

void Deck::forgetClips() {
    current = {};
    last = {};
}

}  // namespace engine

namespace {

// The clip is found at the head, the offset measured from pos; every caller passes the head.
void takeStartOffsets(LaneView* lane, double head, double pos, double Clip::*offset) {
    engine::assignStartOffsets(lane->clips, lane->clipUnder(head), pos, offset);
}

}  // namespace

void MainWindow::moveHeadTo(engine::Deck& deck, double x) {
    deck.headX = x;
    deck.placeControls(engine::placeHead(x, Width(), deck.looks.labelOffset));
    deck.headTimelineX = deck.headX + static_cast<double>(mix.scrollX);
}

// The play deck forgets the clips it loaded, so the next tick starts them again from the new
// offsets; the clips now sounding on the preview deck stay, and the tick decides what plays next.
void MainWindow::setStartOffsets(engine::Deck& deck, double pos) {
    if (deck.looks.newStartForgetsClips) deck.current = {};
    takeStartOffsets(laneView1, deck.headX, pos, deck.traits.startOffset);
    takeStartOffsets(laneView2, deck.headX, pos, deck.traits.startOffset);
}
