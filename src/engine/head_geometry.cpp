// Head placement and start offsets.
#include "engine/head_geometry.h"

#include "platform/numtext.h"

namespace engine {

HeadPlacement headAt(double x, int labelOffset) {
    return {true, whole(x - 7), whole(x), whole(x + labelOffset)};
}

HeadPlacement placeHead(double x, int width, int labelOffset) {
    if (-kHeadMargin < x && x < width + kHeadMargin) return headAt(x, labelOffset);
    return HeadPlacement{};
}

void assignStartOffsets(const std::vector<DragPicRef>& clips, const DragPicRef& hit, double pos,
                        double DragPic::*offset) {
    for (const DragPicRef& clip : clips) clip.get()->*offset = 0;
    if (hit) hit.get()->*offset = pos - (static_cast<double>(hit->x) - hit->pdauer / 2);
}

}  // namespace engine
