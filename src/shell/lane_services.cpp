#include "shell/lane_services.h"

#include "documents/playlist_io.h"
#include "editing/clipboard.h"
#include "editing/lane_drops.h"
#include "lanes/lane_view.h"
#include "shell/deck_commands.h"
#include "shell/pictures.h"

LaneServices::LaneServices(QObject* parent, model::Mix& mix, editing::EditHost& edits,
                           DeckCommands& decks, platform::StaticText& statusLine)
    : QObject(parent), mix_(mix), edits_(edits), decks_(decks), statusLine_(statusLine) {}

void LaneServices::showStatus(const QString& text) { statusLine_.setText(text); }

QString LaneServices::statusText() const { return statusLine_.text(); }

void LaneServices::reportOverlap() { statusLine_.setText(editing::kOverlapRefusedText); }

model::PictureRef LaneServices::laneBackdrop() { return laneBackdropPicture(); }

model::PictureRef LaneServices::clipPicture(const model::Clip& c) {
    return documents::clipPictureOrSay(c);
}

void LaneServices::shiftDragStarted(int fromLane) { shiftDragSourceLane_ = fromLane; }

void LaneServices::retakePreviewStartOffsets() { decks_.retakeStartOffsets(decks_.previewDeck()); }

void LaneServices::dragEnteredLane(LaneView& lane) {
    lane.setBackdrop(laneHighlightPicture());
    dropPending_ = true;
}

void LaneServices::dragLeftLane(LaneView& lane) { lane.setBackdrop(laneBackdropPicture()); }

bool LaneServices::droppedOnLane(LaneView& lane, const platform::DragItem& item) {
    lane.setBackdrop(laneBackdropPicture());
    // One drag that entered a lane gives at most one handled drop.
    if (!dropPending_) return false;
    dropPending_ = false;
    return editing::takeLaneDrop(mix_, edits_, lane.lane(), item);
}

void LaneServices::mouseEnteredLane(int lane) {
    activeLane_ = lane;
    statusLine_.setText(QString::number(activeLane_));
}
