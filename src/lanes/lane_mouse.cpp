// Picking, dragging and releasing clips on a lane, and the moves that act on every clip right of
// a position (shifting along with a Command drag, swapping lanes on a Control release).
#include <QPixmap>
#include <algorithm>

#include "lanes/lane_view.h"
#include "model/lane_logic.h"
#include "model/numtext.h"
#include "platform/dragdrop.h"
#include "platform/keyboard.h"
#include "shell/main_window.h"

namespace Keyboard = platform::Keyboard;

namespace {
bool soundingOnPlayDeck(const MainWindow& w, const ClipRef& clip) {
    return clip && (clip == w.playDeck.current[0] || clip == w.playDeck.current[1]);
}
}  // namespace

bool LaneView::MouseDown(int x, int y) {
    MainWindow* w = win();
    draggedClip = clipAt(x, y);
    if (!draggedClip || !w) return false;
    // A press on a clip is the lane's; only presses on empty lane space reach the window.
    keepPressFromWindow();
    w->statusLine->setText(draggedClip->name);
    if (Keyboard::AsyncShiftKey()) {
        if (soundingOnPlayDeck(*w, draggedClip)) return false;
        // Carry the clip out of the lane; the other lane's drop takes it by its identity.
        const ClipRef clip = draggedClip;
        const int left = whole(clip->x - clip->lengthPx / 2);
        dragToDelete = indexOf(clip.get());
        w->shiftDragSourceLane = clip->lane;
        // The drag shows the clip around the press, at most a few screens of it: a day-long
        // clip's whole picture would be hundreds of megabytes.
        constexpr int kDragPictureReach = 2048;
        const int pressed = x - left;
        QPixmap picture;
        int from = 0;
        if (clip->image) {
            const int width = clip->image->Width();
            from = std::clamp(pressed - kDragPictureReach, 0, width);
            const int to = std::clamp(pressed + kDragPictureReach, from, width);
            picture =
                QPixmap::fromImage(clip->image->part(from, 0, to - from, clip->image->Height()));
        }
        platform::startDrag(
            this, platform::makeClipMimeData(lanes::encodeClipDrag(clip.get(), lane_), pressed),
            picture, QPoint(pressed - from, y - 1));
        return false;
    }
    showHandles();
    redrawPictures();
    lastMouseX = x;
    pressX = draggedClip->x;
    pressCentre = draggedClip->centre;
    bringToFront(draggedClip);
    return true;
}

void LaneView::MouseDrag(int x, int) {
    MainWindow* w = win();
    if (!draggedClip || !w || soundingOnPlayDeck(*w, draggedClip)) return;
    if (x == lastMouseX) return;
    Clip& c = *draggedClip;
    // The clip's left edge stops at the start of the timeline.
    const double step = lanes::stepClampedAtStart(c, x - lastMouseX);
    const double oldX = c.x;
    const double newX = oldX + step;
    const lanes::Rect r = lanes::dragRepaintRect(whole(oldX), whole(newX), lanes::pictureWidth(c),
                                                 lanes::pictureHeight(c), c.y);
    prepareBuffer();
    c.centre += step;
    c.x = newX;
    if (step != 0 && Keyboard::AsyncCommandKey() && w->playDeck.headX < newX - c.lengthPx / 2) {
        w->shiftClipsRight(step, newX);
    }
    if (backBuffer) {
        platform::Graphics bg(*backBuffer);
        Redraw(bg, r.left, r.top, r.width, r.height);
    }
    RefreshRect(r.left, r.top, r.width, r.height);
    lastMouseX = x;
    redrawPictures();
    showHandles();
}

void LaneView::MouseUp(int, int) {
    MainWindow* w = win();
    if (!draggedClip || !w) return;
    const ClipRef clip = draggedClip;
    const bool control = Keyboard::AsyncControlKey();
    if (control && Keyboard::AsyncCommandKey() && Keyboard::AsyncOptionKey() &&
        soundingOnPlayDeck(*w, clip)) {
        // Removal chord on the clip the play deck sounds: stop its player and delete it.
        platform::MoviePlayer* player =
            clip == w->playDeck.current[0] ? w->playDeck.players[0] : w->playDeck.players[1];
        player->Stop();
        player->setMovie(nullptr);
        (clip == w->playDeck.current[0] ? w->playDeck.current[0] : w->playDeck.current[1]) =
            nullptr;
        w->mix.selectedIndex = -1;
        w->mix.selectedLane = 0;
        const int i = indexOf(clip.get());
        if (i >= 0) clips.erase(clips.begin() + i);
        refreshAll();
        clearSelection();
        return;
    }
    if (control && w->playDeck.headX < clip->x - clip->lengthPx / 2 &&
        !soundingOnPlayDeck(*w, clip)) {
        clearSelection();
        w->swapClips(clip->x, clip);
        return;
    }
    // Every release is probed, also that of a clip whose centre stood at 0.
    if (lanes::releaseCollides(clips, *clip)) {
        w->comment(1, QString());
        clip->x = pressX;
        clip->centre = pressCentre;
        clearSelection();
        refreshAll();
    }
    if (clip->lane == 1) {
        w->previewDeck.current[1] = nullptr;
        w->previewDeck.last[1] = nullptr;
    } else if (clip->lane == 2) {
        w->previewDeck.current[0] = nullptr;
        w->previewDeck.last[0] = nullptr;
    }
    w->setStartOffsets(w->previewDeck, w->previewDeck.headX);
    w->mix.selectedIndex = indexOf(clip.get());
    w->mix.selectedLane = clip->lane;
}

void MainWindow::shiftClipsRight(double delta, double from) {
    for (LaneView* lane : {laneView1, laneView2}) {
        for (int i = static_cast<int>(lane->clips.size()) - 1; i >= 0; --i) {
            Clip& c = *lane->clips[i];
            if (c.x > from) {
                c.x += delta;
                c.centre += delta;
            }
        }
    }
    laneView1->refreshAll();
    laneView2->refreshAll();
}

void MainWindow::swapClips(double from, const ClipRef&) {
    auto move = [from](LaneView* src, LaneView* dst, int lane) {
        for (int i = static_cast<int>(src->clips.size()) - 1; i >= 0; --i) {
            ClipRef c = src->clips[i];
            if (c->x >= from && c->lane == lane) {
                dst->clips.push_back(c);
                src->clips.erase(src->clips.begin() + i);
            }
        }
    };
    move(laneView1, laneView2, 1);
    move(laneView2, laneView1, 2);
    for (auto& c : laneView1->clips) c->lane = 1;
    for (auto& c : laneView2->clips) c->lane = 2;
    laneView1->refreshAll();
    laneView2->refreshAll();
}
