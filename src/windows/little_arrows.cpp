#include "windows/little_arrows.h"

#include <QMouseEvent>
#include <QPainter>

namespace windows {

namespace {
// A held press steps once, then again after a pause, then steadily.
constexpr int kFirstRepeatMs = 400, kRepeatMs = 100;
}  // namespace

LittleArrows::LittleArrows(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    connect(&repeat_, &QTimer::timeout, this, [this] {
        repeat_.setInterval(kRepeatMs);
        step();
    });
}

void LittleArrows::step() {
    if (pressed_ == Part::Up) emit steppedUp();
    if (pressed_ == Part::Down) emit steppedDown();
}

void LittleArrows::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int w = width(), h = height(), half = h / 2;
    for (const Part part : {Part::Up, Part::Down}) {
        const QRect box = part == Part::Up ? QRect(0, 0, w, half) : QRect(0, half, w, h - half);
        p.fillRect(box, pressed_ == part ? QColor(190, 190, 190) : QColor(236, 236, 236));
        p.setPen(QColor(150, 150, 150));
        p.setBrush(Qt::NoBrush);
        p.drawRect(box.adjusted(0, 0, -1, -1));
        // A small filled triangle in the middle of each half.
        const int cx = box.center().x(), cy = box.center().y();
        QPolygon tri;
        if (part == Part::Up) {
            tri << QPoint(cx - 3, cy + 2) << QPoint(cx + 3, cy + 2) << QPoint(cx, cy - 1);
        } else {
            tri << QPoint(cx - 3, cy - 1) << QPoint(cx + 3, cy - 1) << QPoint(cx, cy + 2);
        }
        p.setPen(Qt::black);
        p.setBrush(Qt::black);
        p.drawPolygon(tri);
    }
}

void LittleArrows::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) {
        e->ignore();
        return;
    }
    pressed_ = e->position().y() < height() / 2 ? Part::Up : Part::Down;
    update();
    step();
    repeat_.start(kFirstRepeatMs);
}

void LittleArrows::mouseReleaseEvent(QMouseEvent*) {
    repeat_.stop();
    pressed_ = Part::None;
    update();
}

}  // namespace windows
