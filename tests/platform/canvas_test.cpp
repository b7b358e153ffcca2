#include <gtest/gtest.h>

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEnterEvent>
#include <QMimeData>
#include <QWidget>

#include "platform/controls.h"

namespace {

TEST(Canvas, AnEnterRightAfterADropIsNotAMouseEnter) {
    QWidget parent;
    platform::Canvas canvas(&parent, "lane");
    canvas.AcceptTextDrop();
    int enters = 0, drops = 0;
    canvas.onMouseEnter = [&] { ++enters; };
    canvas.onDropObject = [&](platform::DragItem&, int) { ++drops; };

    QMimeData data;
    data.setText("x");
    // Qt delivers a drop only to the widget that took the drag's enter.
    QDragEnterEvent dragEnter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&canvas, &dragEnter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&canvas, &drop);
    ASSERT_EQ(drops, 1);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(&canvas, &enter);
    EXPECT_EQ(enters, 0);  // the window system's enter after the drag ended

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&canvas, &leave);
    QApplication::sendEvent(&canvas, &enter);
    EXPECT_EQ(enters, 1);  // a real enter later counts
}

}  // namespace
