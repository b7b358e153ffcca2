#include "model/key_commands.h"

#include <algorithm>
#include <cmath>

#include "model/lane_logic.h"
#include "model/numtext.h"

namespace model {

double steppedVolume(double volume, int steps) {
    if (std::isnan(volume)) volume = 0;
    // The sound server keeps volumes in steps of 1/65536, so a volume read back lies a hair off
    // the tenth it was set to; snapping the sum keeps ten steps from silence exactly at full.
    const double v = std::round((volume + 0.1 * steps) * 1000) / 1000;
    return std::clamp(v, 0.0, 1.0);
}

VolumeBar volumeBar(double volume) {
    const double v = std::isnan(volume) ? 0.0 : std::clamp(volume, 0.0, 1.0);
    const int height = whole(v * 14);
    return {height, 178 - height};
}

namespace {

// One step of `s` pixels (negative = left): free when the clip's new leading edge lies inside no
// clip of the lane. At the start of the timeline the clip stops; that is no refusal.
bool step(const std::vector<ClipRef>& lane, Clip& clip, int s, double scrollX) {
    const double d = model::stepClampedAtStart(clip, s);
    if (d == 0) return true;
    const double centre = clip.visibleCentre(scrollX);
    const double edge = d < 0 ? centre - clip.lengthPx / 2 + d : centre + clip.lengthPx / 2 + d;
    if (model::lineHit(lane, edge, scrollX)) return false;
    clip.centre += d;
    return true;
}

}  // namespace

bool nudge(const std::vector<ClipRef>& lane, Clip& clip, NudgeKeys keys, double scrollX) {
    bool free = true;
    if (keys.left) free &= step(lane, clip, -1, scrollX);
    if (keys.left && keys.shift) free &= step(lane, clip, -10, scrollX);
    if (keys.right) free &= step(lane, clip, 1, scrollX);
    if (keys.right && keys.shift) free &= step(lane, clip, 10, scrollX);
    return free;
}

}  // namespace model
