// Head placement and start offsets.
#include "engine/head_geometry.h"

#include "platform/numtext.h"

namespace engine {

HeadPlacement placeHead(double x, int width, int labelOffset) {
    HeadPlacement p;
    p.shown = -kHeadMargin < x && x < width + kHeadMargin;
    if (!p.shown) return p;
    p.button = whole(x - 7);
    p.line = whole(x);
    p.label = whole(x + labelOffset);
    return p;
}

void assignStartOffsets(const std::vector<DragPicRef>& clips, const DragPicRef& hit, double pos,
                        double DragPic::*offset) {
    for (const DragPicRef& clip : clips) clip.get()->*offset = 0;
    if (hit) hit.get()->*offset = pos - (static_cast<double>(hit->x) - hit->pdauer / 2);
}

}  // namespace engine
