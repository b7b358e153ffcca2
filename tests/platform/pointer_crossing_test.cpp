// A lane's enter is the pointer crossing into it. The window system also sends enters
// when a dialog, a menu or a drag ends over the lane with the pointer already there; the
// pointer is moved and the dialogs are run here as the desktop would.
#include "platform/pointer_crossing.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEnterEvent>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <functional>

#include "platform/controls.h"

namespace {

using platform::PointerCrossing;
using platform::PointerReport;
using platform::PointerWatcher;

// Counts the pointer crossing into it, as the lanes do, and takes text drops.
class CrossingWidget : public QWidget {
  public:
    explicit CrossingWidget(QWidget* parent) : QWidget(parent) {
        PointerWatcher::instance().watch(this, &crossing_);
        setAcceptDrops(true);
    }
    ~CrossingWidget() override { PointerWatcher::instance().unwatch(this); }
    int enters = 0, drops = 0;

  protected:
    void enterEvent(QEnterEvent*) override { enters += crossing_.takeCrossing(); }
    void dragEnterEvent(QDragEnterEvent* e) override { e->acceptProposedAction(); }
    void dragMoveEvent(QDragMoveEvent* e) override { e->acceptProposedAction(); }
    void dropEvent(QDropEvent* e) override {
        e->acceptProposedAction();
        ++drops;
    }

  private:
    PointerCrossing crossing_;
};

class CanvasEnter : public ::testing::Test {
  public:  // the cases' steps drive the fixture
    void SetUp() override {
        top.setGeometry(100, 100, 400, 200);
        lane = new CrossingWidget(&top);
        lane->setGeometry(0, 50, 400, 50);
        // A control lying over the lane, as the heads do.
        head = new QWidget(&top);
        head->setGeometry(100, 40, 20, 70);
        top.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&top));
        moveTo({10, 10});
    }

    void moveTo(QPoint local) {
        QCursor::setPos(top.mapToGlobal(local));
        QApplication::processEvents();
    }

    // A modal dialog over the window, closed by itself; during runs while it is open.
    void runDialog(const std::function<void()>& during = {}) {
        QDialog dialog(&top);
        dialog.setGeometry(150, 130, 300, 120);
        QTimer::singleShot(20, &dialog, [&] {
            if (during) during();
            dialog.accept();
        });
        dialog.exec();
        QApplication::processEvents();
    }

    // A menu popped up over the lane and closed again.
    void runMenu() {
        QMenu menu(&top);
        menu.addAction("one");
        menu.addAction("two");
        QTimer::singleShot(20, &menu, [&] {
            moveTo({30, 70});  // over the menu, above the lane
            menu.close();
        });
        menu.exec(top.mapToGlobal(QPoint(20, 60)));
        QApplication::processEvents();
    }

    // A drag reaching the window and dropped on the lane, as the desktop's drag loop delivers
    // it to the window; then the enter the window system sends once the drag is over.
    void dragOntoLane(bool drop) {
        QWindow* window = top.windowHandle();
        QMimeData data;
        data.setText("x");
        QDragEnterEvent enter(QPoint(200, 10), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(window, &enter);
        QDragMoveEvent move(QPoint(210, 70), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window, &move);
        if (drop) {
            QDropEvent dropped(QPointF(210, 70), Qt::CopyAction, &data, Qt::LeftButton,
                               Qt::NoModifier);
            QApplication::sendEvent(window, &dropped);
        } else {
            QDragLeaveEvent leave;
            QApplication::sendEvent(window, &leave);
        }
        const QPoint global = top.mapToGlobal(QPoint(210, 70));
        QCursor::setPos(global);
        QEnterEvent windowEnter(QPointF(210, 70), QPointF(210, 70), global);
        QApplication::sendEvent(window, &windowEnter);
        QApplication::processEvents();
    }

    QWidget top;
    CrossingWidget* lane = nullptr;
    QWidget* head = nullptr;
};

TEST_F(CanvasEnter, OnlyThePointerCrossingInCounts) {
    const struct {
        const char* name;
        std::function<void(CanvasEnter&)> steps;
        int enters;
    } cases[] = {
        {"moving in from above",
         [](CanvasEnter& t) {
             t.moveTo({10, 70});
         },
         1},
        {"moving on inside",
         [](CanvasEnter& t) {
             t.moveTo({10, 70});
             t.moveTo({300, 80});
         },
         1},
        {"out and in again",
         [](CanvasEnter& t) {
             t.moveTo({10, 70});
             t.moveTo({10, 10});
             t.moveTo({12, 70});
         },
         2},
        {"from a control lying over the lane",
         [](CanvasEnter& t) {
             t.moveTo({110, 70});
             t.moveTo({130, 70});
         },
         1},
        {"leaving the window and coming back at the same place",
         [](CanvasEnter& t) {
             t.moveTo({5, 70});
             t.moveTo({-50, 70});
             t.moveTo({5, 70});
         },
         2},
        {"a dialog closing over the pointer resting in the lane",
         [](CanvasEnter& t) {
             t.moveTo({200, 70});
             t.runDialog();
         },
         1},
        {"a dialog closing after the pointer came to rest in the lane behind it",
         [](CanvasEnter& t) { t.runDialog([&t] {
                                  t.moveTo({200, 70});
                              }); }, 0},
        {"a menu closing over the lane", [](CanvasEnter& t) { t.runMenu(); }, 0},
        {"a drag dropped on the lane", [](CanvasEnter& t) { t.dragOntoLane(true); }, 0},
        {"a drag given up over the lane", [](CanvasEnter& t) { t.dragOntoLane(false); }, 0},
        {"moving out after a drop and in again",
         [](CanvasEnter& t) {
             t.dragOntoLane(true);
             t.moveTo({210, 10});
             t.moveTo({210, 70});
         },
         1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        moveTo({10, 10});
        lane->enters = 0;
        c.steps(*this);
        EXPECT_EQ(lane->enters, c.enters);
    }
    EXPECT_EQ(lane->drops, 2);
}

// A window appearing under the resting pointer (a program started from a launcher, say) gets an
// enter too; the pointer only crosses into a lane once it moves there.
TEST(CanvasEnterAtStart, AWindowOpeningUnderTheRestingPointerIsNoCrossing) {
    QWidget top;
    top.setGeometry(100, 300, 400, 200);
    auto* lane = new CrossingWidget(&top);
    lane->setGeometry(0, 50, 400, 50);
    const QPoint local(200, 70);
    const QPoint global = top.geometry().topLeft() + local;
    QCursor::setPos(global);
    QApplication::processEvents();
    top.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&top));
    QEnterEvent windowEnter{QPointF(local), QPointF(local), QPointF(global)};
    QApplication::sendEvent(top.windowHandle(), &windowEnter);
    QApplication::processEvents();
    EXPECT_EQ(lane->enters, 0);
    QCursor::setPos(top.mapToGlobal(QPoint(200, 10)));
    QApplication::processEvents();
    QCursor::setPos(top.mapToGlobal(local));
    QApplication::processEvents();
    EXPECT_EQ(lane->enters, 1);
}

TEST(PointerCrossing, ReportsInOrder) {
    using R = PointerReport;
    const struct {
        const char* name;
        std::vector<std::pair<R, bool>> reports;
        bool crossed;
    } cases[] = {
        {"nothing seen", {}, false},
        {"moved in", {{R::Moved, false}, {R::Moved, true}}, true},
        {"came in with the window", {{R::Moved, true}}, true},
        {"already over it", {{R::Moved, true}, {R::Moved, true}}, true},
        {"moved over it, then out", {{R::Moved, true}, {R::Moved, false}}, false},
        {"under a dialog", {{R::Moved, false}, {R::Covered, true}, {R::Moved, true}}, false},
        {"left the window", {{R::Moved, true}, {R::Left, false}}, false},
        {"left and came back", {{R::Moved, true}, {R::Left, false}, {R::Moved, true}}, true},
    };
    for (const auto& c : cases) {
        PointerCrossing crossing;
        for (const auto& [report, over] : c.reports) crossing.report(report, over);
        EXPECT_EQ(crossing.takeCrossing(), c.crossed) << c.name;
        EXPECT_FALSE(crossing.takeCrossing()) << c.name;  // once per crossing
    }
}

}  // namespace

namespace {

// The zoom button's caption keeps clear of its menu arrow: the strip the arrow is drawn in looks
// the same with any caption as with none.
TEST(FlatButton, CaptionStaysLeftOfTheMenuArrow) {
    QWidget top;
    platform::FlatButton button(&top);
    button.setGeometry(0, 0, 40, 16);
    button.setTextSize(9);
    QMenu menu;
    button.setMenu(&menu);
    const auto strip = [&](const QString& caption) {
        button.setCaption(caption);
        const QImage image = button.grab().toImage();
        return image.copy(image.width() - 9 * image.width() / 40, 0, 9 * image.width() / 40,
                          image.height());
    };
    const QImage bare = strip("");
    for (const char* caption : {" 25%", " 100%", " 200%", " 400%"})
        EXPECT_EQ(strip(caption), bare) << caption;
}

}  // namespace
