#pragma once
// What the lanes ask of the window: the drops (a lane lights up while a drag hovers over it and
// takes one drop per drag), the lane the mouse last entered, the Shift-drag's source lane and the
// pictures.

#include <QObject>

#include "editing/edit_host.h"
#include "lanes/lane_host.h"
#include "model/mix.h"
#include "model/status_line.h"

class DeckCommands;

class LaneServices : public QObject, public lanes::LaneHost, public editing::DropHost {
    Q_OBJECT
  public:
    LaneServices(QObject* parent, model::Mix& mix, DeckCommands& decks,
                 model::StatusLine& statusLine);

    // The lane the mouse last entered or clicked (0: none yet).
    int activeLane() const { return activeLane_; }
    void setActiveLane(int lane) { activeLane_ = lane; }
    // A drag entered a lane; its one drop may be taken.
    bool dropPending() const { return dropPending_; }
    // The lane a clip was last Shift-dragged out of.
    int shiftDragSourceLane() const { return shiftDragSourceLane_; }

    // lanes::LaneHost
    model::PictureRef laneBackdrop() override;
    model::PictureRef clipPicture(const model::Clip& clip) override;
    void shiftDragStarted(int fromLane) override;
    void retakePreviewStartOffsets() override;
    void dragEnteredLane(LaneView& lane) override;
    void dragLeftLane(LaneView& lane) override;
    bool droppedOnLane(LaneView& lane, const platform::DragItem& item) override;
    void mouseEnteredLane(int lane) override;

    // editing::DropHost
    bool soundingOnPlayDeck(const model::ClipRef& clip) const override;
    model::PictureRef makeClipPicture(const QString& name, double duration, double fadeInEnd,
                                      double fadeOutStart, double start, double stop,
                                      int32_t label) override;

  private:
    model::Mix& mix_;
    DeckCommands& decks_;
    int activeLane_ = 0;
    int shiftDragSourceLane_ = 0;
    bool dropPending_ = false;
};
