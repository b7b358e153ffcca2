#include <QApplication>
#include <QMimeData>
#include <QTest>

#include "model/lane_logic.h"
#include "model/numtext.h"
#include "platform/dragdrop.h"
#include "platform/keyboard.h"
#include "shell/pictures.h"
#include "support/app_fixture.h"

namespace {

using testsupport::AppFixture;

class LaneTest : public AppFixture {
  protected:
    QImage laneShot(LaneView* lane) { return lane->grab().toImage(); }
};

TEST_F(LaneTest, ClipPictureBandsRampsTrimsAndOutline) {
    auto pic = documents::clipPictureOrSay("", 99.9, 20.2, 80, 10.7, 90, 0);
    ASSERT_TRUE(pic);
    EXPECT_EQ(pic->width(), 99);
    EXPECT_EQ(pic->height(), 30);
    const QImage& img = pic->image();
    auto at = [&](int x, int y) { return img.pixelColor(x, y).name(); };
    EXPECT_EQ(at(50, 5), "#fafafa");   // upper band
    EXPECT_EQ(at(50, 22), "#f0f0f0");  // lower band
    EXPECT_EQ(at(5, 5), "#dcdcdc");    // before the in point (10)
    EXPECT_EQ(at(9, 22), "#dcdcdc");
    EXPECT_EQ(at(95, 22), "#dcdcdc");  // after the out point (90)
    EXPECT_EQ(at(50, 16), "#969696");  // level part of the envelope
    EXPECT_EQ(at(20, 16), "#969696");  // top of the fade-in ramp at 20
    EXPECT_EQ(at(50, 0), "#c8c8c8");   // outline along the top
    EXPECT_EQ(at(0, 15), "#c8c8c8");   // and the left side
    EXPECT_NE(at(50, 29), "#c8c8c8");  // no bottom border: it would lie on row 30
}

TEST_F(LaneTest, ClipPictureEdges) {
    // Full-length clip: no darker grey inside.
    auto full = documents::clipPictureOrSay("", 50, 0, 50, 0, 50, 0);
    EXPECT_EQ(full->image().pixelColor(25, 22).name(), "#f0f0f0");
    // Shorter than a pixel still gives a picture a pixel wide.
    for (double d : {0.0, 0.4, -3.0, std::nan("")}) {
        auto tiny = documents::clipPictureOrSay("x", d, 0, 0, 0, 0, 0);
        ASSERT_TRUE(tiny) << d;
        EXPECT_EQ(tiny->width(), 1) << d;
    }
    // Label colours: black for none or out of range, a colour for 1-7.
    auto nameColourCount = [&](int label) {
        auto p = documents::clipPictureOrSay("MMMMMMMM", 200, 0, 200, 0, 200, label);
        int n = 0;
        for (int x = 0; x < 120; ++x)
            for (int y = 2; y < 15; ++y) {
                QColor c = p->image().pixelColor(x, y);
                if (c.red() != c.green() || c.green() != c.blue()) ++n;
            }
        return n;
    };
    EXPECT_EQ(nameColourCount(-1), 0);
    EXPECT_EQ(nameColourCount(8), 0);
    EXPECT_GT(nameColourCount(6), 0);
}

TEST_F(LaneTest, AddNewClipCentresAndBringToFront) {
    mix().setScrollX(120);
    auto a = add(lane(1), 10, 100);
    EXPECT_EQ(onLane(*a), 60);
    EXPECT_DOUBLE_EQ(a->centre, 180);
    auto b = add(lane(1), 10, 101);
    EXPECT_DOUBLE_EQ(onLane(*b), 60.5);  // a place is never rounded
    EXPECT_DOUBLE_EQ(b->centre, 180.5);
    lane(1)->bringToFront(a);
    EXPECT_EQ(lane(1)->clips.back(), a);
}

TEST_F(LaneTest, LaneShowsItsClipsOverTheBackdrop) {
    w->show();
    add(lane(1), 10, 100, "one");
    add(lane(1), 200, 150, "two");
    QApplication::processEvents();
    QImage shot = laneShot(lane(1));
    const QRgb backdrop = laneBackdropPicture()->image().pixel(500, 20);
    EXPECT_EQ(shot.pixel(500, 20), backdrop);               // empty stretch
    EXPECT_EQ(shot.pixelColor(60, 25).name(), "#f0f0f0");   // first clip, lower band
    EXPECT_EQ(shot.pixelColor(275, 25).name(), "#f0f0f0");  // second clip
    // The picture covers rows 1 to 30.
    EXPECT_EQ(shot.pixel(60, 0), laneBackdropPicture()->image().pixel(60, 0));
    EXPECT_EQ(shot.pixel(60, 32), laneBackdropPicture()->image().pixel(60, 32));
    // Wider window: the whole width is drawn, not just 800 pixels.
    platform::setContentSize(*w, 1280, 180);
    testsupport::partOf<TimelineControls>(*w).fitToWidth();
    add(lane(1), 1000, 100, "far");
    QApplication::processEvents();
    EXPECT_EQ(laneShot(lane(1)).pixelColor(1050, 25).name(), "#f0f0f0");
}

TEST_F(LaneTest, HandlesShowAndPark) {
    auto c = add(lane(1), 200, 200);
    c->inPoint = 20, c->outPoint = 180, c->fadeInEnd = 40, c->fadeOutStart = 160;
    lane(1)->draggedClip = c;
    mix().markSaved();
    lane(1)->showHandles();
    EXPECT_EQ(control<ClipHandle>("inPointHandle")->x(), 214);
    EXPECT_EQ(control<ClipHandle>("inPointHandle")->y(), 36);
    EXPECT_EQ(control<ClipHandle>("outPointHandle")->x(), 380);
    EXPECT_EQ(control<ClipHandle>("fadeInHandle")->x(), 236);
    EXPECT_EQ(control<ClipHandle>("fadeOutHandle")->y(), 78);
    EXPECT_EQ(control<platform::Line>("inPointGuide")->y1(), 37);
    EXPECT_EQ(control<platform::Line>("inPointGuide")->y2(), 75);
    EXPECT_FALSE(mix().document().saved);
    EXPECT_TRUE(menu()->clipSelected);
    lane(2)->clearSelection();
    EXPECT_EQ(control<ClipHandle>("inPointHandle")->x(), -16);
    EXPECT_EQ(control<ClipHandle>("fadeInHandle")->x(), -16);
    EXPECT_EQ(control<ClipHandle>("outPointHandle")->x(), -10);
    EXPECT_EQ(control<ClipHandle>("fadeOutHandle")->x(), -10);
    EXPECT_EQ(control<ClipHandle>("inPointHandle")->y(), 36);  // tops stay
    EXPECT_FALSE(menu()->clipSelected);
    // Nothing pressed on the lane: showing does nothing.
    lane(2)->draggedClip = nullptr;
    mix().markSaved();
    lane(2)->showHandles();
    EXPECT_TRUE(mix().document().saved);
    EXPECT_EQ(control<ClipHandle>("inPointHandle")->x(), -16);
}

TEST_F(LaneTest, PressDragAndReleaseMoveAClip) {
    auto a = add(lane(1), 0, 100, "a");    // 0..100
    auto b = add(lane(1), 300, 100, "b");  // 300..400
    ASSERT_TRUE(lane(1)->pressAt(350, 16));
    EXPECT_EQ(statusText(), "b");
    EXPECT_EQ(lane(1)->clips.back(), b);
    lane(1)->dragTo(300, 16);  // 50 to the left
    EXPECT_EQ(onLane(*b), 300);
    EXPECT_DOUBLE_EQ(b->centre, 300);
    lane(1)->releaseAt(300, 16);
    EXPECT_EQ(onLane(*b), 300);
    EXPECT_EQ(mix().selection(), (model::ClipSelection{1, 1}));

    // Dragged onto a: refused and snapped back.
    ASSERT_TRUE(lane(1)->pressAt(300, 16));
    lane(1)->dragTo(140, 16);
    EXPECT_EQ(onLane(*b), 140);
    lane(1)->releaseAt(140, 16);
    EXPECT_EQ(statusText(), "do not drop one track onto another");
    EXPECT_EQ(onLane(*b), 300);
    EXPECT_DOUBLE_EQ(b->centre, 300);
    EXPECT_EQ(mix().selection()->lane, 1);
    (void)a;
}

// Touching is not overlapping: a plain click on a clip between touching neighbours selects it.
TEST_F(LaneTest, AClickOnAClipTouchingItsNeighboursIsNoRefusedMove) {
    const struct {
        const char* what;
        double beforeLeft, beforeWidth, left, width, afterLeft;  // the clicked clip in between
        bool refused;
    } cases[] = {
        {"touching both", 0, 100, 100, 100, 200, false},
        {"touching at half pixels", 10, 100.5, 110.5, 101, 211.5, false},
        {"a pixel apart", 0, 99, 100, 100, 201, false},
        {"overlapping the one before", 0, 100.5, 100, 100, 200, true},
        {"overlapping the one after", 0, 100, 100, 100, 199, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        documents().resetDocument();
        add(lane(1), c.beforeLeft, c.beforeWidth, "before");
        auto b = add(lane(1), c.left, c.width, "b");
        add(lane(1), c.afterLeft, 100, "after");
        const int at = model::whole(onLane(*b));
        ASSERT_TRUE(lane(1)->pressAt(at, 16));
        lane(1)->releaseAt(at, 16);
        EXPECT_EQ(statusText(), c.refused ? "do not drop one track onto another" : "b");
        EXPECT_EQ(control<ClipHandle>("inPointHandle")->x() > 0, !c.refused);  // handles shown
        EXPECT_EQ(menu()->clipSelected, !c.refused);
        EXPECT_DOUBLE_EQ(b->centre, c.left + c.width / 2);  // not moved
        EXPECT_EQ(mix().selection(), (model::ClipSelection{1, 2}));
    }
}

// However far it is dragged to the left, a clip's left edge stops at 0:00:00.
TEST_F(LaneTest, ADraggedClipStopsAtTheTimelinesStart) {
    const struct {
        int scrollValue;  // x 60 pixels
        double left;      // visible
        int dragBy;
        double wantLeft;  // on the timeline
    } cases[] = {
        {0, 30, -80, 0}, {0, 30, -30, 0}, {0, 30, -29, 1}, {0, 30.5, -31, 0}, {1, 10, -100, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.left + c.dragBy);
        documents().resetDocument();
        control<QScrollBar>("timelineScrollBar")->setValue(c.scrollValue);
        auto a = add(lane(1), c.left, 100, "a");
        const int at = model::whole(onLane(*a));
        ASSERT_TRUE(lane(1)->pressAt(at, 16));
        lane(1)->dragTo(at + c.dragBy, 16);
        lane(1)->releaseAt(at + c.dragBy, 16);
        EXPECT_DOUBLE_EQ(a->centre - 50, c.wantLeft);
    }
}

TEST_F(LaneTest, ReleaseAtCentreZeroIsStillProbed) {
    auto a = add(lane(1), -50, 100, "a");  // centre 0
    add(lane(1), 40, 100, "b");            // overlaps a's right half
    lane(1)->bringToFront(a);
    ASSERT_TRUE(lane(1)->pressAt(1, 16));
    lane(1)->releaseAt(1, 16);
    EXPECT_EQ(statusText(), "do not drop one track onto another");
}

// A release on one lane makes the preview deck forget the other lane's clip, so it starts again
// there; its own lane's clip stays.
TEST_F(LaneTest, AReleaseClearsTheOtherLanesPreviewClip) {
    const struct {
        int lane;
        bool clearsLane1, clearsLane2;
    } cases[] = {{1, false, true}, {2, true, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lane);
        documents().resetDocument();
        auto clip = add(lane(c.lane), 100, 100);
        auto lane1 = std::make_shared<model::Clip>(), lane2 = std::make_shared<model::Clip>();
        previewDeck().current[0] = previewDeck().last[0] = lane1;
        previewDeck().current[1] = previewDeck().last[1] = lane2;
        ASSERT_TRUE(lane(c.lane)->pressAt(150, 16));
        lane(c.lane)->releaseAt(150, 16);
        EXPECT_EQ(previewDeck().current[0], c.clearsLane1 ? nullptr : lane1);
        EXPECT_EQ(previewDeck().last[0], c.clearsLane1 ? nullptr : lane1);
        EXPECT_EQ(previewDeck().current[1], c.clearsLane2 ? nullptr : lane2);
        EXPECT_EQ(previewDeck().last[1], c.clearsLane2 ? nullptr : lane2);
        (void)clip;
    }
}

TEST_F(LaneTest, PlayingClipIsNotDraggedButCanBeRemoved) {
    auto a = add(lane(1), 100, 100, "a");
    playDeck().current[0] = a;
    ASSERT_TRUE(lane(1)->pressAt(150, 16));
    lane(1)->dragTo(250, 16);
    EXPECT_EQ(onLane(*a), 150);
    platform::Keyboard::setModifiersForTesting(Qt::ControlModifier | Qt::AltModifier |
                                               Qt::MetaModifier);
    lane(1)->releaseAt(250, 16);
    EXPECT_TRUE(lane(1)->clips.empty());
    EXPECT_EQ(playDeck().current[0], nullptr);
    EXPECT_EQ(mix().selection(), std::nullopt);
    EXPECT_EQ(statusText(), "");  // as Clear does: the press named it
}

TEST_F(LaneTest, ShiftPressCarriesTheClipAsOurOwnDrag) {
    auto a = add(lane(2), 100, 100, "a");
    QByteArray carried;
    platform::dragHook() = [&](QWidget*, QMimeData* data, const QPixmap&, QPoint) {
        carried = data->data(platform::kClipMimeType);
    };
    platform::Keyboard::setModifiersForTesting(Qt::ShiftModifier);
    EXPECT_FALSE(lane(2)->pressAt(150, 16));
    platform::dragHook() = nullptr;
    auto d = model::decodeClipDrag(carried);
    ASSERT_TRUE(d.has_value());
    EXPECT_EQ(d->clip, reinterpret_cast<quintptr>(a.get()));
    EXPECT_EQ(d->lane, 2);
    EXPECT_EQ(laneServices().shiftDragSourceLane(), 2);
    EXPECT_EQ(lane(2)->dragToDelete, 0);
    EXPECT_EQ(mix().selection(), std::nullopt);  // a Shift press does not select
}

TEST_F(LaneTest, ZoomRoundTripKeepsClipsInTime) {
    control<QScrollBar>("timelineScrollBar")->setValue(2);  // scrolled by 120
    auto a = add(lane(1), 180, 180, "a");
    a->inPoint = 10, a->outPoint = 170, a->fadeInEnd = 30, a->fadeOutStart = 150, a->playStart = 20;
    const double centre0 = a->centre;
    mix().setClipboardClip(std::make_shared<model::Clip>(*a));
    mix().setPasteTarget(model::PasteTarget{300, 2});
    auto choose = [&](const char* row) {
        for (QAction* level : control<platform::FlatButton>("zoomButton")->menu()->actions())
            if (level->text() == row) level->trigger();
    };
    choose("400");
    EXPECT_FLOAT_EQ(mix().pixelsPerSecond(), 4.0f);
    EXPECT_EQ(control<platform::FlatButton>("zoomButton")->caption(), " 400%");
    EXPECT_DOUBLE_EQ(a->lengthPx, 720);
    EXPECT_DOUBLE_EQ(a->centre, centre0 * 4);
    EXPECT_DOUBLE_EQ(mix().clipboardClip()->lengthPx, 720);
    EXPECT_DOUBLE_EQ(mix().pasteTarget()->timelineX, 1200);
    EXPECT_EQ(a->image->width(), 720);
    choose("25");
    EXPECT_DOUBLE_EQ(a->lengthPx, 45);
    EXPECT_EQ(control<platform::FlatButton>("zoomButton")->caption(), " 25%");
    choose("100");
    EXPECT_FLOAT_EQ(mix().pixelsPerSecond(), 1.0f);
    EXPECT_DOUBLE_EQ(a->lengthPx, 180);
    EXPECT_DOUBLE_EQ(a->inPoint, 10);
    EXPECT_DOUBLE_EQ(a->fadeOutStart, 150);
    EXPECT_DOUBLE_EQ(a->playStart, 20);
    EXPECT_DOUBLE_EQ(a->centre, centre0);
    EXPECT_DOUBLE_EQ(mix().pasteTarget()->timelineX, 300);
    // The same zoom again re-sets the caption and nothing else.
    mix().markSaved();
    choose("100");
    EXPECT_TRUE(mix().document().saved);
}

TEST_F(LaneTest, ScrollingReplacesClipsHeadsAndRuler) {
    auto a = add(lane(1), 50, 100, "a");  // centre 100
    control<QScrollBar>("timelineScrollBar")->setValue(6);
    EXPECT_FLOAT_EQ(mix().scrollX(), 360);
    EXPECT_EQ(onLane(*a), -260);
    EXPECT_EQ(playDeckView()->line()->x1(), -260);  // the head at 100 on the timeline
    EXPECT_EQ(playDeckView()->button()->x(), -267);
    EXPECT_EQ(playDeckView()->label(1)->x(), -260);  // labels move even without a text
    EXPECT_EQ(previewDeckView()->label(1)->x(), 300 - 360 + 11);
    EXPECT_EQ(control<platform::StaticText>("rulerLabel0")->text(), "0.05:00");
    EXPECT_EQ(control<platform::StaticText>("rulerLabel0")->x(), -60);
    EXPECT_FALSE(mix().document().saved);  // a scroll counts as a change
}

TEST_F(LaneTest, HeadSearchScrollsToTheHeadsPage) {
    struct Case {
        double absolute;
        int value;
        float scroll;
    };
    for (const Case& c : {Case{250, 0, 0}, Case{500, 6, 360}, Case{1250, 20, 1200}}) {
        control<QScrollBar>("timelineScrollBar")->setValue(0);
        playDeck().setHead(c.absolute);
        control<platform::FlatButton>("findPlayHeadButton")->click();
        EXPECT_EQ(control<QScrollBar>("timelineScrollBar")->value(), c.value) << c.absolute;
        EXPECT_FLOAT_EQ(mix().scrollX(), c.scroll) << c.absolute;
        EXPECT_FLOAT_EQ(mix().scrollX(), control<QScrollBar>("timelineScrollBar")->value() * 60.0f);
    }
    // Page 0 again from a scrolled view, and the offset stays value x 60 when the value holds.
    control<QScrollBar>("timelineScrollBar")->setValue(6);
    playDeck().setHead(60);
    control<platform::FlatButton>("findPlayHeadButton")->click();
    EXPECT_EQ(control<QScrollBar>("timelineScrollBar")->value(), 0);
    EXPECT_FLOAT_EQ(mix().scrollX(), 0);
    playDeck().setHead(500);
    control<QScrollBar>("timelineScrollBar")->setValue(6);  // already on the head's page
    control<platform::FlatButton>("findPlayHeadButton")->click();
    EXPECT_FLOAT_EQ(mix().scrollX(), 360);
}

}  // namespace

namespace {

class LanePressTest : public testsupport::AppFixture {};

TEST_F(LanePressTest, OnlyPressesOnEmptyLaneSpaceReachTheWindow) {
    w->show();
    lane(1)->addNewClip(200, {.image = documents::clipPictureOrSay("a", 100, 0, 100, 0, 100, 0),
                              .name = "a",
                              .path = "/m/a.mp3",
                              .lengthPx = 100,
                              .lane = 1});
    auto clip = lane(1)->clips.back();
    playDeck().current[0] = clip;  // a Shift press on the playing clip does nothing but name it
    platform::Keyboard::setModifiersForTesting(Qt::ShiftModifier);
    QTest::mousePress(lane(1), Qt::LeftButton, Qt::ShiftModifier, QPoint(250, 16));
    QTest::mouseRelease(lane(1), Qt::LeftButton, Qt::ShiftModifier, QPoint(250, 16));
    EXPECT_EQ(statusText(), "a");
    EXPECT_DOUBLE_EQ(previewDeckView()->headX(),
                     300);                         // the background click did not move the head
    EXPECT_EQ(mix().pasteTarget(), std::nullopt);  // nor set a paste target

    // A Shift drag of the clip likewise stays the lane's.
    playDeck().current[0] = nullptr;
    platform::dragHook() = [](QWidget*, QMimeData*, const QPixmap&, QPoint) {};
    QTest::mousePress(lane(1), Qt::LeftButton, Qt::ShiftModifier, QPoint(250, 16));
    QTest::mouseRelease(lane(1), Qt::LeftButton, Qt::ShiftModifier, QPoint(250, 16));
    platform::dragHook() = nullptr;
    EXPECT_DOUBLE_EQ(previewDeckView()->headX(), 300);

    // A press on empty lane space is a click on the window: lane 1 becomes the paste target.
    platform::Keyboard::setModifiersForTesting(Qt::NoModifier);
    QTest::mousePress(lane(1), Qt::LeftButton, Qt::NoModifier, QPoint(500, 16));
    QTest::mouseRelease(lane(1), Qt::LeftButton, Qt::NoModifier, QPoint(500, 16));
    EXPECT_EQ(mix().pasteTarget(), (model::PasteTarget{500, 1}));
    EXPECT_DOUBLE_EQ(previewDeckView()->headX(), 500);
}

}  // namespace
