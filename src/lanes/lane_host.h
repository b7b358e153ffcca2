#pragma once
// What a lane needs from the window it sits in: the window owns the drops and the pictures.

#include "model/clip.h"
#include "model/picture.h"
#include "platform/dragdrop.h"

class LaneView;

namespace lanes {

class LaneHost {
  public:
    // A lane's backdrop when no drag hovers over it.
    virtual model::PictureRef laneBackdrop() = 0;
    // The clip drawn anew (its name, length, trims, fades and label); nullptr when it cannot be.
    virtual model::PictureRef clipPicture(const model::Clip& clip) = 0;
    // A Shift-drag carries a clip out of the lane `fromLane`.
    virtual void shiftDragStarted(int fromLane) = 0;
    // A clip was released: the preview head's clips take their start offsets again.
    virtual void retakePreviewStartOffsets() = 0;
    // A drag came over the lane, left it, or was dropped on it.
    virtual void dragEnteredLane(LaneView& lane) = 0;
    virtual void dragLeftLane(LaneView& lane) = 0;
    // True when the drop laid a clip.
    virtual bool droppedOnLane(LaneView& lane, const platform::DragItem& item) = 0;
    // The pointer crossed into the lane (not a dialog, menu or drag ending over it).
    virtual void mouseEnteredLane(int lane) = 0;

  protected:
    ~LaneHost() = default;
};

}  // namespace lanes
