#include "editing/selection.h"

#include "shell/window1.h"

namespace editing {

DragPicRef selectedClip(const Window1& w) {
    const DragCanvas* lane = w.lane(w.balkenaktivspur);
    if (!lane || w.balkenaktiv < 0 || w.balkenaktiv >= static_cast<int>(lane->mPics.size())) {
        return nullptr;
    }
    const DragPicRef& clip = lane->mPics[w.balkenaktiv];
    return clip == lane->mDragging ? clip : nullptr;
}

bool soundingOnPlayDeck(const Window1& w, const DragPicRef& clip) {
    return clip && (clip == w.pam || clip == w.pam2);
}

}  // namespace editing
