#include "editing/selection.h"

namespace editing {

model::ClipRef selectedClip(const model::Mix& mix, const EditHost& host) {
    if (mix.selectedLane != 1 && mix.selectedLane != 2) return nullptr;
    const std::vector<model::ClipRef>& clips = mix.lane(mix.selectedLane);
    if (mix.selectedIndex < 0 || mix.selectedIndex >= static_cast<int>(clips.size())) {
        return nullptr;
    }
    const model::ClipRef& clip = clips[mix.selectedIndex];
    return clip == host.pressedClip(mix.selectedLane) ? clip : nullptr;
}

}  // namespace editing
