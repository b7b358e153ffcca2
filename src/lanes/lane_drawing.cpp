// Lane drawing through an offscreen buffer, and the lane's two hit tests.
#include "lanes/dragcanvas.h"
#include "lanes/lane_logic.h"
#include "platform/dialogs.h"
#include "platform/numtext.h"
#include "shell/window1.h"

using platform::Graphics;

void DragCanvas::Paint(Graphics& g) {
    PrepareBuffer();
    if (!mBuffer) return;
    // Only the part Qt asks for is drawn anew and shown: a head moving by a pixel costs a column,
    // not the whole lane. The rest of the buffer keeps what it showed.
    const QRect r = PaintRect().intersected(rect());
    if (r.isEmpty()) return;
    {
        Graphics bg(*mBuffer);
        bg.ClipRect(r.x(), r.y(), r.width(), r.height());
        Redraw(bg, r.x(), r.y(), r.width(), r.height());
    }
    g.DrawPicture(*mBuffer, r.x(), r.y(), r.x(), r.y(), r.width(), r.height());
}

void DragCanvas::PrepareBuffer() {
    if (mBuffer && mBuffer->Width() == Width() && mBuffer->Height() == Height()) return;
    if (Width() <= 0 || Height() <= 0) return;
    auto buffer = std::make_shared<platform::Picture>(Width(), Height());
    if (buffer->isNull()) {
        // Without a buffer the lane cannot be drawn, but its clips stay: nothing of the mix is
        // lost.
        mBuffer.reset();
        platform::MsgBox(QStringLiteral("Out of memory."));
        return;
    }
    mBuffer = std::move(buffer);
}

void DragCanvas::Redraw(Graphics& g, double x, double y, double w, double h) {
    const int rx = whole(x), ry = whole(y), rw = whole(w), rh = whole(h);
    g.ClearRect(rx, ry, rw, rh);
    if (Backdrop() && !Backdrop()->isNull()) g.DrawPicture(*Backdrop(), rx, ry, rx, ry, rw, rh);
    std::vector<lanes::PicturePlace> places;
    for (const DragPicRef& c : mPics) {
        const double W = lanes::pictureWidth(*c), H = lanes::pictureHeight(*c);
        const double L = c->x - W / 2, T = c->y - H / 2;
        if (x < L + W && L < x + w && y < T + H && T < y + h && c->image) {
            places.push_back({c->image.get(), whole(L), whole(T), whole(W), whole(H)});
        }
    }
    // Only what can be seen is drawn: clips wholly under opaque clips cost nothing.
    for (const lanes::PicturePlace* p : lanes::uncoveredPlaces(places, rx, rx + rw))
        g.DrawPicture(*p->picture, p->left, p->top);
}

void DragCanvas::RefreshPic(const DragPicRef& clip) {
    if (!clip) return;
    const int W = lanes::pictureWidth(*clip), H = lanes::pictureHeight(*clip);
    const int L = whole(clip->x - W / 2.0), T = clip->y - H / 2;
    if (mBuffer) {
        Graphics bg(*mBuffer);
        Redraw(bg, L, T, W, H);
    }
    RefreshRect(L, T, W, H);
}

DragPicRef DragCanvas::PicHit(double x, double y) const { return lanes::picHit(mPics, x, y); }

DragPicRef DragCanvas::LineHit(double x) const { return lanes::lineHit(mPics, x); }

void DragCanvas::aktualisiere() {
    PrepareBuffer();
    if (mBuffer) {
        Graphics bg(*mBuffer);
        // The whole lane: a window wider than 800 pixels shows every column up to date.
        Redraw(bg, 0, 0, Width(), 33);
    }
    if (Window1* w = win()) {
        w->Line3->update();
        w->Line4->update();
    }
    update();
}

void DragCanvas::imgredraw() {
    Window1* w = win();
    if (!mDragging || !w) return;
    DragPic& p = *mDragging;
    p.image =
        w->zeichnetrack(p.pname, p.pdauer, p.pfadein, p.pfadeout, p.pstart, p.pstop, p.pfarbe);
}
