#include "shell/clip_handle.h"

#include <QMouseEvent>
#include <QPainter>

ClipHandle::ClipHandle(QWidget* parent, model::Handle which, Pointing pointing)
    : QWidget(parent), which_(which), pointing_(pointing) {
    setFocusPolicy(Qt::NoFocus);
}

void ClipHandle::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::black);
    p.setBrush(Qt::black);
    const int w = width() - 1, h = height() - 1;
    QPolygon tri;
    switch (pointing_) {
        case Pointing::Left:
            tri << QPoint(w, 0) << QPoint(0, h / 2) << QPoint(w, h);
            break;
        case Pointing::Right:
            tri << QPoint(0, 0) << QPoint(w, h / 2) << QPoint(0, h);
            break;
        case Pointing::Down:
            tri << QPoint(0, 0) << QPoint(w, 0) << QPoint(w / 2, h);
            break;
    }
    p.drawPolygon(tri);
}

void ClipHandle::mousePressEvent(QMouseEvent* e) {
    tracking_ = e->button() == Qt::LeftButton;
    if (!tracking_) {
        e->ignore();
        return;
    }
    emit pressed(e->position().toPoint().x());
}

void ClipHandle::mouseMoveEvent(QMouseEvent* e) {
    if (tracking_) emit dragged(e->position().toPoint().x());
}

void ClipHandle::mouseReleaseEvent(QMouseEvent*) {
    if (!tracking_) return;
    tracking_ = false;
    emit released();
}
