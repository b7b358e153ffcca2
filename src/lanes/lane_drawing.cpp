// Lane drawing through an offscreen buffer, and the lane's two hit tests.
#include "lanes/lane_view.h"
#include "model/lane_logic.h"
#include "model/numtext.h"
#include "platform/dialogs.h"

using model::Graphics;

void LaneView::draw(Graphics& g, const QRect& area) {
    prepareBuffer();
    if (!backBuffer) return;
    // Only the part Qt asks for is drawn anew and shown: a head moving by a pixel costs a column,
    // not the whole lane. The rest of the buffer keeps what it showed.
    const QRect r = area.intersected(rect());
    if (r.isEmpty()) return;
    {
        Graphics bg(*backBuffer);
        bg.clipTo(r.x(), r.y(), r.width(), r.height());
        drawClips(bg, r.x(), r.y(), r.width(), r.height());
    }
    g.drawPicture(*backBuffer, r.x(), r.y(), r.x(), r.y(), r.width(), r.height());
}

void LaneView::prepareBuffer() {
    if (backBuffer && backBuffer->width() == width() && backBuffer->height() == height()) return;
    if (width() <= 0 || height() <= 0) return;
    auto buffer = std::make_shared<model::Picture>(width(), height());
    if (buffer->isNull()) {
        // Without a buffer the lane cannot be drawn, but its clips stay: nothing of the mix is
        // lost.
        backBuffer.reset();
        platform::showMessage(QStringLiteral("Out of memory."));
        return;
    }
    backBuffer = std::move(buffer);
}

void LaneView::drawClips(Graphics& g, double x, double y, double w, double h) {
    const int rx = model::whole(x), ry = model::whole(y), rw = model::whole(w),
              rh = model::whole(h);
    g.clearRect(rx, ry, rw, rh);
    if (backdrop_ && !backdrop_->isNull()) g.drawPicture(*backdrop_, rx, ry, rx, ry, rw, rh);
    std::vector<model::PicturePlace> places;
    for (const model::ClipRef& c : clips) {
        const double W = model::pictureWidth(*c), H = model::pictureHeight(*c);
        const double L = c->visibleCentre(mix_.scrollX()) - W / 2, T = model::kClipCentreY - H / 2;
        if (x < L + W && L < x + w && y < T + H && T < y + h && c->image) {
            places.push_back({c->image.get(), model::whole(L), model::whole(T), model::whole(W),
                              model::whole(H)});
        }
    }
    // Only what can be seen is drawn: clips wholly under opaque clips cost nothing.
    for (const model::PicturePlace* p : model::uncoveredPlaces(places, rx, rx + rw))
        g.drawPicture(*p->picture, p->left, p->top);
}

model::ClipRef LaneView::clipAt(double x, double y) const {
    return model::picHit(clips, x, y, mix_.scrollX());
}

model::ClipRef LaneView::clipUnder(double x) const {
    return model::lineHit(clips, x, mix_.scrollX());
}

void LaneView::redrawPictures() {
    if (!draggedClip) return;
    draggedClip->image = host_.clipPicture(*draggedClip);
}
