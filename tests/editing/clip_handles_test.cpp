// The four handles of the selected clip, pressed, dragged and released as the user does it.
#include <QApplication>
#include <QMouseEvent>
#include <QSignalBlocker>

#include "support/app_fixture.h"

namespace {

using testsupport::AppFixture;

class HandleTest : public AppFixture {
  protected:
    // An ordinary click on the clip: it shows its handles and becomes the selection.
    void click(LaneView* lane, int x) {
        ASSERT_TRUE(lane->pressAt(x, 16));
        lane->releaseAt(x, 16);
    }
    static void mouse(QWidget* target, QEvent::Type type, int x, int y) {
        const QPointF at(x, y);
        QMouseEvent e(type, at, target->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
        QApplication::sendEvent(target, &e);
    }
    // Press the handle at (3, 4), drag it by dx in two steps, release it.
    static void drag(QWidget* handle, int dx) {
        mouse(handle, QEvent::MouseButtonPress, 3, 4);
        mouse(handle, QEvent::MouseMove, 3 + dx / 2, 4);
        // The handle has moved under the mouse, so the mouse is now 3 + dx - dx/2 from its left.
        mouse(handle, QEvent::MouseMove, 3 + dx - dx / 2, 4);
        mouse(handle, QEvent::MouseButtonRelease, 3 + dx - dx / 2, 4);
    }
};

TEST_F(HandleTest, InPointDraggedIntoTheClipTrimsItAndPullsTheFadeInAlong) {
    auto clip = add(lane(1), 100, 200);  // left edge 100
    click(lane(1), 200);
    ASSERT_EQ(control<ClipHandle>("inPointHandle")->x(), 94);  // hot spot on the in point, 100

    mouse(control<ClipHandle>("inPointHandle"), QEvent::MouseButtonPress, 3, 4);
    mouse(control<ClipHandle>("inPointHandle"), QEvent::MouseMove, 53, 4);
    EXPECT_EQ(control<ClipHandle>("inPointHandle")->x(), 144);
    EXPECT_EQ(control<platform::Line>("inPointGuide")->x1(),
              150);  // the guide line follows the hot spot
    EXPECT_EQ(control<platform::Line>("inPointGuide")->x2(), 150);
    EXPECT_DOUBLE_EQ(clip->inPoint, 0);  // nothing is written while dragging
    const model::PictureRef before = clip->image;
    mix().markSaved();
    mouse(control<ClipHandle>("inPointHandle"), QEvent::MouseButtonRelease, 53, 4);

    EXPECT_DOUBLE_EQ(clip->inPoint, 50);
    EXPECT_DOUBLE_EQ(clip->fadeInEnd, 50);
    EXPECT_DOUBLE_EQ(clip->fadeOutStart, 200);
    EXPECT_DOUBLE_EQ(clip->outPoint, 200);
    // All four handles stand at the clip's new values; the guide line is parked.
    EXPECT_EQ(control<ClipHandle>("inPointHandle")->x(), 144);
    EXPECT_EQ(control<ClipHandle>("fadeInHandle")->x(), 146);
    EXPECT_EQ(control<platform::Line>("inPointGuide")->x1(), -100);
    EXPECT_FALSE(mix().document().saved);
    EXPECT_NE(clip->image, before);  // the picture shows the new trim
}

TEST_F(HandleTest, EachHandleOnEitherLane) {
    // Clip from 100 to 300 with its in point at 20, fade-in end 60, fade-out start 140, out 180.
    const struct {
        int lane;
        const char* handle;
        int dx;
        double inPoint, fadeInEnd, fadeOutStart, outPoint;
    } cases[] = {
        {1, "inPointHandle", 30, 50, 60, 140, 180},
        {2, "inPointHandle", 60, 80, 80, 140, 180},    // past the fade-in end
        {1, "inPointHandle", 120, 0, 60, 140, 180},    // exactly at the fade-out start: back to 0
        {1, "outPointHandle", -60, 20, 60, 120, 120},  // before the fade-out start: pulls it along
        {2, "outPointHandle", 20, 20, 60, 140, 200},   // exactly at the right edge: the whole clip
        {1, "fadeInHandle", 40, 20, 100, 140, 180},
        {1, "fadeOutHandle", 20, 20, 60, 160, 180},
        {2, "fadeOutHandle", 50, 20, 60, 180, 180},  // past the out point: cut back to it
    };
    for (const auto& c : cases) {
        LaneView* lane = this->lane(c.lane);
        emptyLane(c.lane);
        auto clip = add(lane, 100, 200);
        clip->inPoint = 20, clip->fadeInEnd = 60, clip->fadeOutStart = 140, clip->outPoint = 180;
        click(lane, 200);
        drag(control<ClipHandle>(c.handle), c.dx);
        const std::string what = std::to_string(c.lane) + " " + std::to_string(c.dx);
        EXPECT_DOUBLE_EQ(clip->inPoint, c.inPoint) << what;
        EXPECT_DOUBLE_EQ(clip->fadeInEnd, c.fadeInEnd) << what;
        EXPECT_DOUBLE_EQ(clip->fadeOutStart, c.fadeOutStart) << what;
        EXPECT_DOUBLE_EQ(clip->outPoint, c.outPoint) << what;
    }
}

TEST_F(HandleTest, FadeHandleDragRedrawsTheLastPressedClipsOnlyAtTheirStoredValues) {
    auto one = add(lane(1), 0, 100);
    auto two = add(lane(2), 0, 100);
    click(lane(2), 50);
    click(lane(1), 50);
    const model::PictureRef a = one->image, b = two->image;
    ClipHandle* fadeOut = control<ClipHandle>("fadeOutHandle");
    mouse(fadeOut, QEvent::MouseButtonPress, 4, 4);
    mouse(fadeOut, QEvent::MouseMove, 4, 4);  // no movement: nothing happens
    EXPECT_EQ(one->image, a);
    mouse(fadeOut, QEvent::MouseMove, -16, 4);
    EXPECT_NE(one->image, a);
    EXPECT_NE(two->image, b);
    EXPECT_DOUBLE_EQ(one->fadeOutStart, 100);
    mouse(fadeOut, QEvent::MouseButtonRelease, -16, 4);
    EXPECT_DOUBLE_EQ(one->fadeOutStart, 80);
    EXPECT_DOUBLE_EQ(two->fadeOutStart, 100);  // only the selected clip is trimmed
}

TEST_F(HandleTest, WithoutASelectionAHandleMovesButTrimsNothing) {
    auto clip = add(lane(1), 100, 200);
    click(lane(1), 200);
    {
        const QSignalBlocker unseen(&mix());  // the selection gone while the handles still stand
        mix().clearSelection();
    }
    drag(control<ClipHandle>("inPointHandle"), 40);
    EXPECT_DOUBLE_EQ(clip->inPoint, 0);
    EXPECT_DOUBLE_EQ(clip->fadeInEnd, 0);
    EXPECT_EQ(control<ClipHandle>("inPointHandle")->x(), 134);      // stays where it was dropped
    EXPECT_EQ(control<platform::Line>("inPointGuide")->x1(), 140);  // and so does the guide line
}

TEST_F(HandleTest, AnIndexThatNamesNoShownClipIsNoSelection) {
    // Two clips in the same place, as swaps between lanes can leave them.
    auto first = add(lane(1), 100, 200);
    auto second = add(lane(1), 100, 200);
    click(lane(1), 200);  // the top one, second, shows its handles, at index 1
    ASSERT_EQ(mix().selection(), (model::ClipSelection{1, 1}));
    for (int stale : {7, -3, 0}) {  // beyond the lane, negative, another clip
        mix().select(1, stale);
        drag(control<ClipHandle>("inPointHandle"), 40);
        EXPECT_DOUBLE_EQ(first->inPoint, 0) << stale;
        EXPECT_DOUBLE_EQ(first->fadeInEnd, 0) << stale;
        EXPECT_DOUBLE_EQ(second->inPoint, 0) << stale;
        EXPECT_DOUBLE_EQ(second->fadeInEnd, 0) << stale;
    }
    // The handles are put back at the clip they show.
    EXPECT_EQ(control<ClipHandle>("inPointHandle")->x(), 94);
}

}  // namespace
