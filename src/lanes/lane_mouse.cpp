// Picking, dragging and releasing clips on a lane, and the moves that act on every clip right of
// a position (shifting along with a Command drag, swapping lanes on a Control release).
#include <QPixmap>
#include <algorithm>

#include "lanes/dragcanvas.h"
#include "lanes/lane_logic.h"
#include "platform/dragdrop.h"
#include "platform/keyboard.h"
#include "platform/numtext.h"
#include "shell/window1.h"

namespace Keyboard = platform::Keyboard;

namespace {
bool soundingOnPlayDeck(const Window1& w, const DragPicRef& clip) {
    return clip && (clip == w.pam || clip == w.pam2);
}
}  // namespace

bool DragCanvas::MouseDown(int x, int y) {
    Window1* w = win();
    mDragging = PicHit(x, y);
    if (!mDragging || !w) return false;
    // A press on a clip is the lane's; only presses on empty lane space reach the window.
    keepPressFromWindow();
    w->msg->setText(mDragging->pname);
    if (Keyboard::AsyncShiftKey()) {
        if (soundingOnPlayDeck(*w, mDragging)) return false;
        // Carry the clip out of the lane; the other lane's drop takes it by its identity.
        const DragPicRef clip = mDragging;
        const int left = whole(clip->x - clip->pdauer / 2);
        pdragtodelete = indexOf(clip.get());
        w->pdragfromcanvas = clip->spur;
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
    aktivierebalken();
    imgredraw();
    mLastX = x;
    mDownLastX = mDragging->x;
    mdownlastorgx = mDragging->porgx;
    BringToFront(mDragging);
    return true;
}

void DragCanvas::MouseDrag(int x, int) {
    Window1* w = win();
    if (!mDragging || !w || soundingOnPlayDeck(*w, mDragging)) return;
    if (x == mLastX) return;
    DragPic& c = *mDragging;
    // The clip's left edge stops at the start of the timeline.
    const double step = lanes::stepClampedAtStart(c, x - mLastX);
    const double oldX = c.x;
    const double newX = oldX + step;
    const lanes::Rect r = lanes::dragRepaintRect(whole(oldX), whole(newX), lanes::pictureWidth(c),
                                                 lanes::pictureHeight(c), c.y);
    PrepareBuffer();
    c.porgx += step;
    c.x = newX;
    if (step != 0 && Keyboard::AsyncCommandKey() && w->playbalken < newX - c.pdauer / 2) {
        w->movetoright(step, newX);
    }
    if (mBuffer) {
        platform::Graphics bg(*mBuffer);
        Redraw(bg, r.left, r.top, r.width, r.height);
    }
    RefreshRect(r.left, r.top, r.width, r.height);
    mLastX = x;
    imgredraw();
    aktivierebalken();
}

void DragCanvas::MouseUp(int, int) {
    Window1* w = win();
    if (!mDragging || !w) return;
    const DragPicRef clip = mDragging;
    const bool control = Keyboard::AsyncControlKey();
    if (control && Keyboard::AsyncCommandKey() && Keyboard::AsyncOptionKey() &&
        soundingOnPlayDeck(*w, clip)) {
        // Removal chord on the clip the play deck sounds: stop its player and delete it.
        platform::MoviePlayer* player = clip == w->pam ? w->player1 : w->player2;
        player->Stop();
        player->setMovie(nullptr);
        (clip == w->pam ? w->pam : w->pam2) = nullptr;
        w->balkenaktiv = -1;
        w->balkenaktivspur = 0;
        const int i = indexOf(clip.get());
        if (i >= 0) mPics.erase(mPics.begin() + i);
        aktualisiere();
        versteckebalken();
        return;
    }
    if (control && w->playbalken < clip->x - clip->pdauer / 2 && !soundingOnPlayDeck(*w, clip)) {
        versteckebalken();
        w->tracktauscher(clip->x, clip);
        return;
    }
    // Every release is probed, also that of a clip whose centre stood at 0.
    if (lanes::releaseCollides(mPics, *clip)) {
        w->comment(1, QString());
        clip->x = mDownLastX;
        clip->porgx = mdownlastorgx;
        versteckebalken();
        aktualisiere();
    }
    if (clip->spur == 1) {
        w->vam2 = nullptr;
        w->oldvam2 = nullptr;
    } else if (clip->spur == 2) {
        w->vam = nullptr;
        w->oldvam = nullptr;
    }
    w->SetPreviewStartPos(w->previewbalken);
    w->balkenaktiv = indexOf(clip.get());
    w->balkenaktivspur = clip->spur;
}

void Window1::movetoright(double delta, double from) {
    for (DragCanvas* lane : {Canvas1, Canvas2}) {
        for (int i = static_cast<int>(lane->mPics.size()) - 1; i >= 0; --i) {
            DragPic& c = *lane->mPics[i];
            if (c.x > from) {
                c.x += delta;
                c.porgx += delta;
            }
        }
    }
    Canvas1->aktualisiere();
    Canvas2->aktualisiere();
}

void Window1::tracktauscher(double from, const DragPicRef&) {
    auto move = [from](DragCanvas* src, DragCanvas* dst, int spur) {
        for (int i = static_cast<int>(src->mPics.size()) - 1; i >= 0; --i) {
            DragPicRef c = src->mPics[i];
            if (c->x >= from && c->spur == spur) {
                dst->mPics.push_back(c);
                src->mPics.erase(src->mPics.begin() + i);
            }
        }
    };
    move(Canvas1, Canvas2, 1);
    move(Canvas2, Canvas1, 2);
    for (auto& c : Canvas1->mPics) c->spur = 1;
    for (auto& c : Canvas2->mPics) c->spur = 2;
    Canvas1->aktualisiere();
    Canvas2->aktualisiere();
}
