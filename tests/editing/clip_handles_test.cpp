// The four handles of the selected clip, pressed, dragged and released as the user does it.
#include <QApplication>
#include <QMouseEvent>

#include "support/app_fixture.h"

namespace {

using testsupport::AppFixture;

class HandleTest : public AppFixture {
  protected:
    // A clip as a dropped file makes it: no fades, the whole file.
    DragPicRef addClip(DragCanvas* lane, double left, double dauer) {
        lane->AddPicture(w->zeichnetrack("c", dauer, 0, dauer, 0, dauer, 0), left, 16, "c", dauer,
                         "/m/c.mp3", lane->lane(), 0, dauer, 0, dauer, 0);
        return lane->mPics.back();
    }
    // An ordinary click on the clip: it shows its handles and becomes the selection.
    void click(DragCanvas* lane, int x) {
        ASSERT_TRUE(lane->MouseDown(x, 16));
        lane->MouseUp(x, 16);
    }
    static void mouse(QWidget* target, QEvent::Type type, int x, int y) {
        const QPointF at(x, y);
        QMouseEvent e(type, at, target->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
        QApplication::sendEvent(target, &e);
    }
    // Press the handle at (3, 4), drag it by dx in two steps, release it.
    static void drag(platform::Control* handle, int dx) {
        mouse(handle, QEvent::MouseButtonPress, 3, 4);
        mouse(handle, QEvent::MouseMove, 3 + dx / 2, 4);
        // The handle has moved under the mouse, so the mouse is now 3 + dx - dx/2 from its left.
        mouse(handle, QEvent::MouseMove, 3 + dx - dx / 2, 4);
        mouse(handle, QEvent::MouseButtonRelease, 3 + dx - dx / 2, 4);
    }
};

TEST_F(HandleTest, InPointDraggedIntoTheClipTrimsItAndPullsTheFadeInAlong) {
    auto clip = addClip(w->Canvas1, 100, 200);  // left edge 100
    click(w->Canvas1, 200);
    ASSERT_EQ(w->inp->Left(), 94);  // hot spot on the in point, 100

    mouse(w->inp, QEvent::MouseButtonPress, 3, 4);
    EXPECT_EQ(w->mX, 3);
    mouse(w->inp, QEvent::MouseMove, 53, 4);
    EXPECT_EQ(w->inp->Left(), 144);
    EXPECT_EQ(w->Line1->X1(), 150);  // the guide line follows the hot spot
    EXPECT_EQ(w->Line1->X2(), 150);
    EXPECT_DOUBLE_EQ(clip->pstart, 0);  // nothing is written while dragging
    const platform::PictureRef before = clip->image;
    w->suddensaveflag = 1;
    mouse(w->inp, QEvent::MouseButtonRelease, 53, 4);

    EXPECT_DOUBLE_EQ(clip->pstart, 50);
    EXPECT_DOUBLE_EQ(clip->pfadein, 50);
    EXPECT_DOUBLE_EQ(clip->pfadeout, 200);
    EXPECT_DOUBLE_EQ(clip->pstop, 200);
    // All four handles stand at the clip's new values; the guide line is parked.
    EXPECT_EQ(w->inp->Left(), 144);
    EXPECT_EQ(w->fadein->Left(), 146);
    EXPECT_EQ(w->Line1->X1(), -100);
    EXPECT_EQ(w->suddensaveflag, 0);
    EXPECT_NE(clip->image, before);  // the picture shows the new trim
}

TEST_F(HandleTest, EachHandleOnEitherLane) {
    // Clip from 100 to 300 with its in point at 20, fade-in end 60, fade-out start 140, out 180.
    const struct {
        int lane;
        const char* handle;
        int dx;
        double pstart, pfadein, pfadeout, pstop;
    } cases[] = {
        {1, "inp", 30, 50, 60, 140, 180},
        {2, "inp", 60, 80, 80, 140, 180},    // past the fade-in end
        {1, "inp", 120, 0, 60, 140, 180},    // exactly at the fade-out start: back to 0
        {1, "outp", -60, 20, 60, 120, 120},  // before the fade-out start: pulls it along
        {2, "outp", 20, 20, 60, 140, 200},   // exactly at the right edge: the whole clip
        {1, "fadein", 40, 20, 100, 140, 180},
        {1, "fadeout", 20, 20, 60, 160, 180},
        {2, "fadeout", 50, 20, 60, 180, 180},  // past the out point: cut back to it
    };
    for (const auto& c : cases) {
        DragCanvas* lane = w->lane(c.lane);
        lane->mPics.clear();
        auto clip = addClip(lane, 100, 200);
        clip->pstart = 20, clip->pfadein = 60, clip->pfadeout = 140, clip->pstop = 180;
        click(lane, 200);
        auto* handle = w->findChild<platform::PopupArrow*>(c.handle);
        ASSERT_TRUE(handle);
        drag(handle, c.dx);
        const std::string what = std::string(c.handle) + " " + std::to_string(c.dx);
        EXPECT_DOUBLE_EQ(clip->pstart, c.pstart) << what;
        EXPECT_DOUBLE_EQ(clip->pfadein, c.pfadein) << what;
        EXPECT_DOUBLE_EQ(clip->pfadeout, c.pfadeout) << what;
        EXPECT_DOUBLE_EQ(clip->pstop, c.pstop) << what;
    }
}

TEST_F(HandleTest, FadeHandleDragRedrawsTheLastPressedClipsOnlyAtTheirStoredValues) {
    auto one = addClip(w->Canvas1, 0, 100);
    auto two = addClip(w->Canvas2, 0, 100);
    click(w->Canvas2, 50);
    click(w->Canvas1, 50);
    const platform::PictureRef a = one->image, b = two->image;
    w->fadeout_MouseDown(4, 4);
    w->fadeout_MouseDrag(4, 4);  // no movement: nothing happens
    EXPECT_EQ(one->image, a);
    w->fadeout_MouseDrag(-16, 4);
    EXPECT_NE(one->image, a);
    EXPECT_NE(two->image, b);
    EXPECT_DOUBLE_EQ(one->pfadeout, 100);
    w->fadeout_MouseUp(-16, 4);
    EXPECT_DOUBLE_EQ(one->pfadeout, 80);
    EXPECT_DOUBLE_EQ(two->pfadeout, 100);  // only the selected clip is trimmed
}

TEST_F(HandleTest, WithoutASelectionAHandleMovesButTrimsNothing) {
    auto clip = addClip(w->Canvas1, 100, 200);
    click(w->Canvas1, 200);
    w->balkenaktiv = -1;  // the selection gone while the handles still stand
    w->balkenaktivspur = 0;
    drag(w->inp, 40);
    EXPECT_DOUBLE_EQ(clip->pstart, 0);
    EXPECT_DOUBLE_EQ(clip->pfadein, 0);
    EXPECT_EQ(w->inp->Left(), 134);  // stays where it was dropped
    EXPECT_EQ(w->Line1->X1(), 140);  // and so does the guide line
}

TEST_F(HandleTest, AnIndexThatNamesNoShownClipIsNoSelection) {
    // Two clips in the same place, as swaps between lanes can leave them.
    auto first = addClip(w->Canvas1, 100, 200);
    auto second = addClip(w->Canvas1, 100, 200);
    click(w->Canvas1, 200);  // the top one, second, shows its handles, at index 1
    ASSERT_EQ(w->balkenaktiv, 1);
    for (int stale : {7, -3, 0}) {  // beyond the lane, negative, another clip
        w->balkenaktiv = stale;
        drag(w->inp, 40);
        EXPECT_DOUBLE_EQ(first->pstart, 0) << stale;
        EXPECT_DOUBLE_EQ(first->pfadein, 0) << stale;
        EXPECT_DOUBLE_EQ(second->pstart, 0) << stale;
        EXPECT_DOUBLE_EQ(second->pfadein, 0) << stale;
    }
    // The handles are put back at the clip they show.
    EXPECT_EQ(w->inp->Left(), 94);
}

}  // namespace
