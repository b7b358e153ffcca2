// Picking, dragging and releasing clips on a lane, and the moves that act on every clip right of
// a position (shifting along with a Command drag, swapping lanes on a Control release).
#include <QPixmap>
#include <algorithm>

#include "lanes/lane_view.h"
#include "model/lane_logic.h"
#include "model/numtext.h"
#include "platform/dragdrop.h"
#include "platform/keyboard.h"

namespace Keyboard = platform::Keyboard;

bool LaneView::soundingOnPlayDeck(const model::ClipRef& clip) const {
    return clip && (clip == playDeck_.current[0] || clip == playDeck_.current[1]);
}

bool LaneView::pressAt(int x, int y) {
    draggedClip = clipAt(x, y);
    if (!draggedClip) return false;
    // A press on a clip is the lane's; only presses on empty lane space reach the window.
    keepPressFromWindow();
    host_.showStatus(draggedClip->name);
    if (Keyboard::shiftKeyDown()) {
        if (soundingOnPlayDeck(draggedClip)) return false;
        // Carry the clip out of the lane; the other lane's drop takes it by its identity.
        const model::ClipRef clip = draggedClip;
        const int left = whole(clip->visibleLeft(mix_.scrollX));
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
    const double oldX = c.visibleCentre(mix_.scrollX);
    const double newX = oldX + step;
    const model::Rect r = model::dragRepaintRect(whole(oldX), whole(newX), model::pictureWidth(c),
                                                 model::pictureHeight(c), model::kClipCentreY);
    prepareBuffer();
    c.centre += step;
    if (step != 0 && Keyboard::commandKeyDown() && playDeck_.headX < newX - c.lengthPx / 2) {
        if (LaneView* lane1 = host_.lane(1), *lane2 = host_.lane(2); lane1 && lane2)
            lanes::shiftClipsRight(*lane1, *lane2, step, c.centre);
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
    const bool control = Keyboard::controlKeyDown();
    if (control && Keyboard::commandKeyDown() && Keyboard::optionKeyDown() &&
        soundingOnPlayDeck(clip)) {
        // Removal chord on the clip the play deck sounds: stop its player and delete it.
        media::MoviePlayer& player =
            clip == playDeck_.current[0] ? playDeck_.players[0] : playDeck_.players[1];
        player.Stop();
        player.setMovie(nullptr);
        (clip == playDeck_.current[0] ? playDeck_.current[0] : playDeck_.current[1]) = nullptr;
        mix_.selectedIndex = -1;
        mix_.selectedLane = 0;
        const int i = indexOf(clip.get());
        if (i >= 0) clips.erase(clips.begin() + i);
        refreshAll();
        clearSelection();
        // The press named the clip; the line must not name a clip that is gone.
        if (host_.statusText() == clip->name) host_.showStatus(QString());
        return;
    }
    if (control && playDeck_.headX < clip->visibleLeft(mix_.scrollX) && !soundingOnPlayDeck(clip)) {
        clearSelection();
        if (LaneView* lane1 = host_.lane(1), *lane2 = host_.lane(2); lane1 && lane2)
            lanes::swapClipsFrom(*lane1, *lane2, clip->centre);
        return;
    }
    // Every release is probed, also that of a clip whose centre stood at 0.
    if (model::releaseCollides(clips, *clip, mix_.scrollX)) {
        host_.reportOverlap();
        clip->centre = pressCentre;
        clearSelection();
        refreshAll();
    }
    if (clip->lane == 1) {
        previewDeck_.current[1] = nullptr;
        previewDeck_.last[1] = nullptr;
    } else if (clip->lane == 2) {
        previewDeck_.current[0] = nullptr;
        previewDeck_.last[0] = nullptr;
    }
    host_.retakePreviewStartOffsets();
    mix_.selectedIndex = indexOf(clip.get());
    mix_.selectedLane = clip->lane;
}

void lanes::shiftClipsRight(LaneView& lane1, LaneView& lane2, double delta, double from) {
    for (LaneView* lane : {&lane1, &lane2}) {
        for (int i = static_cast<int>(lane->clips.size()) - 1; i >= 0; --i) {
            model::Clip& c = *lane->clips[i];
            if (c.centre > from) c.centre += delta;
        }
    }
    lane1.refreshAll();
    lane2.refreshAll();
}

void lanes::swapClipsFrom(LaneView& lane1, LaneView& lane2, double from) {
    auto move = [from](LaneView& src, LaneView& dst, int lane) {
        for (int i = static_cast<int>(src.clips.size()) - 1; i >= 0; --i) {
            model::ClipRef c = src.clips[i];
            if (c->centre >= from && c->lane == lane) {
                dst.clips.push_back(c);
                src.clips.erase(src.clips.begin() + i);
            }
        }
    };
    move(lane1, lane2, 1);
    move(lane2, lane1, 2);
    for (auto& c : lane1.clips) c->lane = 1;
    for (auto& c : lane2.clips) c->lane = 2;
    lane1.refreshAll();
    lane2.refreshAll();
}
