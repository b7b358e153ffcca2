#pragma once
// Where a head's controls go, and the start offsets a head gives the clips. Pure logic.

#include <vector>

#include "model/clip.h"

namespace model {

// Controls of a head that lies outside the view are moved here.
constexpr int kParked = -100;
// A head is shown while it lies less than this many pixels beyond either window edge.
constexpr double kHeadMargin = 50;

struct HeadPlacement {
    bool shown = false;
    int button = kParked;  // left of the button riding on the head
    int line = kParked;    // x of the vertical line and left of the separator
    int label = kParked;   // left of the time labels (moved only while they show a text)
};

// The controls of a head at window x, wherever it lies; the time labels ride `labelOffset`
// pixels right of it.
HeadPlacement headAt(double x, int labelOffset);
// Places a head at window x in a window `width` pixels wide, parked when outside the view.
HeadPlacement placeHead(double x, int width, int labelOffset);

// The start offset a head at window x `pos` gives the clip under it: the distance from the
// clip's visible left edge (on lanes scrolled by scrollX) to the head.
inline double startOffsetAt(const Clip& clip, double pos, double scrollX) {
    return pos - clip.visibleLeft(scrollX);
}
// Gives every clip of a lane start offset 0, then the clip under the head (`hit`, may be null)
// its start offset for the head at `pos`.
void assignStartOffsets(const std::vector<ClipRef>& clips, const ClipRef& hit, double pos,
                        double scrollX, double Clip::*offset);

}  // namespace model
