#include "editing/selection.h"

namespace editing {

model::ClipRef selectedClip(const model::Mix& mix, const EditHost& host) {
    if (!mix.selection()) return nullptr;
    const auto [lane, index] = *mix.selection();
    if (lane != 1 && lane != 2) return nullptr;
    const std::vector<model::ClipRef>& clips = mix.lane(lane);
    if (index < 0 || index >= static_cast<int>(clips.size())) return nullptr;
    const model::ClipRef& clip = clips[index];
    return clip == host.pressedClip(lane) ? clip : nullptr;
}

}  // namespace editing
