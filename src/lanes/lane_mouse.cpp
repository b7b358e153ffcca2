// Picking, dragging and releasing clips on a lane; a Command drag shifts the clips right of the
// dragged one along, a Control release swaps them to the other lane.
#include <QPixmap>
#include <algorithm>

#include "editing/clipboard.h"
#include "lanes/lane_view.h"
#include "model/lane_logic.h"
#include "model/numtext.h"
#include "platform/dragdrop.h"
#include "platform/keyboard.h"

namespace Keyboard = platform::Keyboard;

double LaneView::playHeadX() const {
    return playDeck_.head() - static_cast<double>(mix_.scrollX());
}

bool LaneView::soundingOnPlayDeck(const model::ClipRef& clip) const {
    return playDeck_.holds(clip);
}

bool LaneView::pressAt(int x, int y) {
    draggedClip = clipAt(x, y);
    if (!draggedClip) return false;
    // A press on a clip is the lane's; only presses on empty lane space reach the window.
    keepPressFromWindow();
    statusLine_.showMessage(draggedClip->name);
    if (Keyboard::shiftDown()) {
        if (soundingOnPlayDeck(draggedClip)) return false;
        // Carry the clip out of the lane; the other lane's drop takes it by its identity.
        const model::ClipRef clip = draggedClip;
        const int left = model::whole(clip->visibleLeft(mix_.scrollX()));
        dragToDelete = indexOf(clip.get());
        host_.shiftDragStarted(clip->lane);
        // The drag shows the clip around the press, at most a few screens of it: a day-long
        // clip's whole picture would be hundreds of megabytes.
        constexpr int kDragPictureReach = 2048;
        const int pressed = x - left;
        QPixmap picture;
        int from = 0;
        if (clip->image) {
            const int width = clip->image->width();
            from = std::clamp(pressed - kDragPictureReach, 0, width);
            const int to = std::clamp(pressed + kDragPictureReach, from, width);
            picture =
                QPixmap::fromImage(clip->image->part(from, 0, to - from, clip->image->height()));
        }
        platform::startDrag(
            this, platform::makeClipMimeData(model::encodeClipDrag(clip.get(), lane_), pressed),
            picture, QPoint(pressed - from, y - 1));
        return false;
    }
    showHandles();
    redrawPictures();
    lastMouseX = x;
    pressCentre = draggedClip->centre;
    bringToFront(draggedClip);
    return true;
}

void LaneView::dragTo(int x, int) {
    if (!draggedClip || soundingOnPlayDeck(draggedClip)) return;
    if (x == lastMouseX) return;
    model::Clip& c = *draggedClip;
    // The clip's left edge stops at the start of the timeline.
    const double step = model::stepClampedAtStart(c, x - lastMouseX);
    const double oldX = c.visibleCentre(mix_.scrollX());
    const double newX = oldX + step;
    const model::Rect r =
        model::dragRepaintRect(model::whole(oldX), model::whole(newX), model::pictureWidth(c),
                               model::pictureHeight(c), model::kClipCentreY);
    prepareBuffer();
    c.centre += step;
    if (step != 0 && Keyboard::ctrlDown() && playHeadX() < newX - c.lengthPx / 2) {
        mix_.shiftClipsRight(step, c.centre);
    }
    if (backBuffer) {
        model::Graphics bg(*backBuffer);
        drawClips(bg, r.left, r.top, r.width, r.height);
    }
    update(r.left, r.top, r.width, r.height);
    lastMouseX = x;
    redrawPictures();
    showHandles();
}

void LaneView::releaseAt(int, int) {
    if (!draggedClip) return;
    const model::ClipRef clip = draggedClip;
    const bool meta = Keyboard::metaDown();
    if (meta && Keyboard::ctrlDown() && Keyboard::altDown() && soundingOnPlayDeck(clip)) {
        // Removal chord on the clip the play deck sounds: stop its player and delete it.
        media::MoviePlayer& player =
            clip == playDeck_.current[0] ? playDeck_.players[0] : playDeck_.players[1];
        player.stop();
        player.setMovie(nullptr);
        (clip == playDeck_.current[0] ? playDeck_.current[0] : playDeck_.current[1]) = nullptr;
        mix_.clearSelection();
        mix_.deleteClip(lane_, indexOf(clip.get()));
        clearSelection();
        return;
    }
    if (meta && playHeadX() < clip->visibleLeft(mix_.scrollX()) && !soundingOnPlayDeck(clip)) {
        clearSelection();
        mix_.swapClipsFrom(clip->centre);
        return;
    }
    // Every release is probed, also that of a clip whose centre stood at 0.
    if (model::releaseCollides(clips, *clip, mix_.scrollX())) {
        statusLine_.showMessage(editing::kOverlapRefusedText);
        clip->centre = pressCentre;
        clearSelection();
        mix_.clipsEdited(lane_);
    }
    if (clip->lane == 1) {
        previewDeck_.current[1] = nullptr;
        previewDeck_.last[1] = nullptr;
    } else if (clip->lane == 2) {
        previewDeck_.current[0] = nullptr;
        previewDeck_.last[0] = nullptr;
    }
    host_.retakePreviewStartOffsets();
    mix_.select(clip->lane, indexOf(clip.get()));
}
