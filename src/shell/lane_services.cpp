#include "shell/lane_services.h"

#include "documents/playlist_io.h"
#include "editing/lane_drops.h"
#include "lanes/lane_view.h"
#include "shell/deck_commands.h"
#include "shell/pictures.h"

LaneServices::LaneServices(QObject* parent, model::Mix& mix, DeckCommands& decks,
                           model::StatusLine& statusLine)
    : QObject(parent), DropHost(statusLine), mix_(mix), decks_(decks) {}

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
    return editing::takeLaneDrop(mix_, *this, lane.lane(), item);
}

void LaneServices::mouseEnteredLane(int lane) {
    activeLane_ = lane;
    statusLine().showMessage(QString::number(activeLane_));
}

bool LaneServices::soundingOnPlayDeck(const model::ClipRef& clip) const {
    return decks_.playDeck().holds(clip);
}

model::PictureRef LaneServices::makeClipPicture(const QString& name, double duration,
                                                double fadeInEnd, double fadeOutStart, double start,
                                                double stop, int32_t label) {
    return documents::clipPictureOrSay(name, duration, fadeInEnd, fadeOutStart, start, stop, label);
}
