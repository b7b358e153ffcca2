// Head placement and start offsets.
#include "model/head_geometry.h"

#include "model/numtext.h"

namespace model {

HeadPlacement headAt(double x, int labelOffset) {
    return {true, whole(x - 7), whole(x), whole(x + labelOffset)};
}

HeadPlacement placeHead(double x, int width, int labelOffset) {
    if (-kHeadMargin < x && x < width + kHeadMargin) return headAt(x, labelOffset);
    return HeadPlacement{};
}

void assignStartOffsets(const std::vector<ClipRef>& clips, const ClipRef& hit, double pos,
                        double scrollX, double Clip::*offset) {
    for (const ClipRef& clip : clips) clip.get()->*offset = 0;
    if (hit) hit.get()->*offset = startOffsetAt(*hit, pos, scrollX);
}

}  // namespace model
