#include "model/selection.h"

#include "shell/main_window.h"

namespace editing {

ClipRef selectedClip(const MainWindow& w) {
    const LaneView* lane = w.lane(w.mix.selectedLane);
    if (!lane || w.mix.selectedIndex < 0 ||
        w.mix.selectedIndex >= static_cast<int>(lane->clips.size())) {
        return nullptr;
    }
    const ClipRef& clip = lane->clips[w.mix.selectedIndex];
    return clip == lane->draggedClip ? clip : nullptr;
}

bool soundingOnPlayDeck(const MainWindow& w, const ClipRef& clip) {
    return clip && (clip == w.playDeck.current[0] || clip == w.playDeck.current[1]);
}

}  // namespace editing
