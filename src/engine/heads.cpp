// The play and preview heads: placing their controls and taking the start offsets from them.
#include "engine/deck.h"
#include "engine/transport.h"
#include "model/lane_logic.h"

namespace engine {

void Deck::placeControls(const model::HeadPlacement& p, bool allLabels) {
    if (button->x() != p.button) button->move(p.button, button->y());
    line->setPoints(p.line, line->y1(), p.line, line->y2());
    if (mark->x() != p.line) mark->move(p.line, mark->y());
    // A label with no text stays where it is while the head is shown; parking takes both.
    for (platform::StaticText* label : labels) {
        if ((allLabels || !p.shown || !label->text().isEmpty()) && label->x() != p.label)
            label->move(p.label, label->y());
    }
}

void Deck::forgetClips() {
    current = {};
    last = {};
}

void moveHead(Deck& deck, double x, int viewWidth, double scrollX) {
    deck.headX = x;
    deck.placeControls(model::placeHead(x, viewWidth, deck.looks.labelOffset));
    deck.headTimelineX = deck.headX + scrollX;
}

// The play deck forgets the clips it loaded, so the next tick starts them again from the new
// offsets; the clips now sounding on the preview deck stay, and the tick decides what plays next.
// The clip is found at the head, the offset measured from pos.
void setStartOffsets(Deck& deck, const model::Mix& mix, double pos) {
    if (deck.looks.newStartForgetsClips) deck.current = {};
    for (const std::vector<model::ClipRef>& clips : mix.lanes)
        model::assignStartOffsets(clips, model::lineHit(clips, deck.headX, mix.scrollX), pos,
                                  mix.scrollX, deck.traits.startOffset);
}

}  // namespace engine
