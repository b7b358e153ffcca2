#include <QApplication>
#include <QMimeData>
#include <QTest>

#include "lanes/lane_logic.h"
#include "platform/dragdrop.h"
#include "platform/keyboard.h"
#include "platform/numtext.h"
#include "shell/menu.h"
#include "shell/pictures.h"
#include "support/app_fixture.h"

namespace {

using testsupport::AppFixture;

class LaneTest : public AppFixture {
  protected:
    DragPicRef add(DragCanvas* lane, double left, double dauer, const QString& name = "clip") {
        lane->AddPicture(w->zeichnetrack(name, dauer, 0, dauer, 0, dauer, 0), left, 16, name, dauer,
                         "/m/" + name + ".mp3", lane->lane(), 0, dauer, 0, dauer, 0);
        return lane->mPics.back();
    }
    QImage laneShot(DragCanvas* lane) { return lane->grab().toImage(); }
};

TEST_F(LaneTest, ClipPictureBandsRampsTrimsAndOutline) {
    auto pic = w->zeichnetrack("", 99.9, 20.2, 80, 10.7, 90, 0);
    ASSERT_TRUE(pic);
    EXPECT_EQ(pic->Width(), 99);
    EXPECT_EQ(pic->Height(), 30);
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
    auto full = w->zeichnetrack("", 50, 0, 50, 0, 50, 0);
    EXPECT_EQ(full->image().pixelColor(25, 22).name(), "#f0f0f0");
    // Shorter than a pixel still gives a picture a pixel wide.
    for (double d : {0.0, 0.4, -3.0, std::nan("")}) {
        auto tiny = w->zeichnetrack("x", d, 0, 0, 0, 0, 0);
        ASSERT_TRUE(tiny) << d;
        EXPECT_EQ(tiny->Width(), 1) << d;
    }
    // Label colours: black for none or out of range, a colour for 1-7.
    auto nameColourCount = [&](int label) {
        auto p = w->zeichnetrack("MMMMMMMM", 200, 0, 200, 0, 200, label);
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

TEST_F(LaneTest, AddPictureCentresAndIdentity) {
    w->scrollwert = 120;
    auto a = add(w->Canvas1, 10, 100);
    EXPECT_EQ(a->x, 60);
    EXPECT_DOUBLE_EQ(a->porgx, 180);
    auto b = add(w->Canvas1, 10, 101);
    EXPECT_DOUBLE_EQ(b->x, 60.5);  // a place is never rounded
    EXPECT_DOUBLE_EQ(b->porgx, 180.5);
    w->suddensaveflag = 1;
    w->Canvas1->AddPic(a);
    EXPECT_EQ(w->Canvas1->mPics.size(), 2u);
    EXPECT_EQ(w->suddensaveflag, 1);
    w->Canvas1->BringToFront(a);
    EXPECT_EQ(w->Canvas1->mPics.back(), a);
    w->Canvas2->BringToFront(a);  // not on that lane: nothing
    EXPECT_TRUE(w->Canvas2->mPics.empty());
}

TEST_F(LaneTest, LaneShowsItsClipsOverTheBackdrop) {
    w->show();
    add(w->Canvas1, 10, 100, "one");
    add(w->Canvas1, 200, 150, "two");
    w->Canvas1->aktualisiere();
    QApplication::processEvents();
    QImage shot = laneShot(w->Canvas1);
    const QRgb backdrop = spur()->image().pixel(500, 20);
    EXPECT_EQ(shot.pixel(500, 20), backdrop);               // empty stretch
    EXPECT_EQ(shot.pixelColor(60, 25).name(), "#f0f0f0");   // first clip, lower band
    EXPECT_EQ(shot.pixelColor(275, 25).name(), "#f0f0f0");  // second clip
    // The picture covers rows 1 to 30.
    EXPECT_EQ(shot.pixel(60, 0), spur()->image().pixel(60, 0));
    EXPECT_EQ(shot.pixel(60, 32), spur()->image().pixel(60, 32));
    // Wider window: the whole width is drawn, not just 800 pixels.
    w->userResize(1280);
    add(w->Canvas1, 1000, 100, "far");
    w->Canvas1->aktualisiere();
    QApplication::processEvents();
    EXPECT_EQ(laneShot(w->Canvas1).pixelColor(1050, 25).name(), "#f0f0f0");
}

TEST_F(LaneTest, HandlesShowAndPark) {
    auto c = add(w->Canvas1, 200, 200);
    c->pstart = 20, c->pstop = 180, c->pfadein = 40, c->pfadeout = 160;
    w->Canvas1->mDragging = c;
    w->suddensaveflag = 1;
    w->Canvas1->aktivierebalken();
    EXPECT_EQ(w->inp->Left(), 214);
    EXPECT_EQ(w->inp->Top(), 36);
    EXPECT_EQ(w->outp->Left(), 380);
    EXPECT_EQ(w->fadein->Left(), 236);
    EXPECT_EQ(w->fadeout->Top(), 78);
    EXPECT_EQ(w->Line1->Y1(), 37);
    EXPECT_EQ(w->Line1->Y2(), 75);
    EXPECT_EQ(w->suddensaveflag, 0);
    EXPECT_TRUE(EditCopy()->AutoEnable);
    EXPECT_TRUE(EditCut()->AutoEnable);
    EXPECT_TRUE(EditClear()->AutoEnable);
    w->Canvas2->versteckebalken();
    EXPECT_EQ(w->inp->Left(), -16);
    EXPECT_EQ(w->fadein->Left(), -16);
    EXPECT_EQ(w->outp->Left(), -10);
    EXPECT_EQ(w->fadeout->Left(), -10);
    EXPECT_EQ(w->inp->Top(), 36);  // tops stay
    EXPECT_FALSE(EditCopy()->AutoEnable);
    // Nothing pressed on the lane: showing does nothing.
    w->Canvas2->mDragging = nullptr;
    w->suddensaveflag = 1;
    w->Canvas2->aktivierebalken();
    EXPECT_EQ(w->suddensaveflag, 1);
    EXPECT_EQ(w->inp->Left(), -16);
}

TEST_F(LaneTest, PressDragAndReleaseMoveAClip) {
    auto a = add(w->Canvas1, 0, 100, "a");    // 0..100
    auto b = add(w->Canvas1, 300, 100, "b");  // 300..400
    ASSERT_TRUE(w->Canvas1->MouseDown(350, 16));
    EXPECT_EQ(w->msg->Text(), "b");
    EXPECT_EQ(w->Canvas1->mPics.back(), b);
    w->Canvas1->MouseDrag(300, 16);  // 50 to the left
    EXPECT_EQ(b->x, 300);
    EXPECT_DOUBLE_EQ(b->porgx, 300);
    w->Canvas1->MouseUp(300, 16);
    EXPECT_EQ(b->x, 300);
    EXPECT_EQ(w->balkenaktiv, 1);
    EXPECT_EQ(w->balkenaktivspur, 1);

    // Dragged onto a: refused and snapped back.
    ASSERT_TRUE(w->Canvas1->MouseDown(300, 16));
    w->Canvas1->MouseDrag(140, 16);
    EXPECT_EQ(b->x, 140);
    w->Canvas1->MouseUp(140, 16);
    EXPECT_EQ(w->msg->Text(), "do not drop one track onto another");
    EXPECT_EQ(b->x, 300);
    EXPECT_DOUBLE_EQ(b->porgx, 300);
    EXPECT_EQ(w->balkenaktivspur, 1);
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
        w->init();
        add(w->Canvas1, c.beforeLeft, c.beforeWidth, "before");
        auto b = add(w->Canvas1, c.left, c.width, "b");
        add(w->Canvas1, c.afterLeft, 100, "after");
        const int at = whole(b->x);
        ASSERT_TRUE(w->Canvas1->MouseDown(at, 16));
        w->Canvas1->MouseUp(at, 16);
        EXPECT_EQ(w->msg->Text(), c.refused ? "do not drop one track onto another" : "b");
        EXPECT_EQ(w->inp->Left() > 0, !c.refused);  // handles shown
        EXPECT_EQ(EditClear()->AutoEnable, !c.refused);
        EXPECT_DOUBLE_EQ(b->porgx, c.left + c.width / 2);  // not moved
        EXPECT_EQ(w->balkenaktiv, 2);
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
        w->init();
        w->ScrollBar1->setValue(c.scrollValue);
        auto a = add(w->Canvas1, c.left, 100, "a");
        const int at = whole(a->x);
        ASSERT_TRUE(w->Canvas1->MouseDown(at, 16));
        w->Canvas1->MouseDrag(at + c.dragBy, 16);
        w->Canvas1->MouseUp(at + c.dragBy, 16);
        EXPECT_DOUBLE_EQ(a->porgx - 50, c.wantLeft);
        EXPECT_DOUBLE_EQ(a->x, a->porgx - w->scrollwert);
    }
}

TEST_F(LaneTest, ReleaseAtCentreZeroIsStillProbed) {
    auto a = add(w->Canvas1, -50, 100, "a");  // centre 0
    add(w->Canvas1, 40, 100, "b");            // overlaps a's right half
    w->Canvas1->BringToFront(a);
    ASSERT_TRUE(w->Canvas1->MouseDown(1, 16));
    w->Canvas1->MouseUp(1, 16);
    EXPECT_EQ(w->msg->Text(), "do not drop one track onto another");
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
        w->init();
        auto clip = add(w->lane(c.lane), 100, 100);
        auto lane1 = std::make_shared<DragPic>(), lane2 = std::make_shared<DragPic>();
        w->vam = w->oldvam = lane1;
        w->vam2 = w->oldvam2 = lane2;
        ASSERT_TRUE(w->lane(c.lane)->MouseDown(150, 16));
        w->lane(c.lane)->MouseUp(150, 16);
        EXPECT_EQ(w->vam, c.clearsLane1 ? nullptr : lane1);
        EXPECT_EQ(w->oldvam, c.clearsLane1 ? nullptr : lane1);
        EXPECT_EQ(w->vam2, c.clearsLane2 ? nullptr : lane2);
        EXPECT_EQ(w->oldvam2, c.clearsLane2 ? nullptr : lane2);
        (void)clip;
    }
}

TEST_F(LaneTest, PlayingClipIsNotDraggedButCanBeRemoved) {
    auto a = add(w->Canvas1, 100, 100, "a");
    w->pam = a;
    ASSERT_TRUE(w->Canvas1->MouseDown(150, 16));
    w->Canvas1->MouseDrag(250, 16);
    EXPECT_EQ(a->x, 150);
    platform::Keyboard::setModifiersForTesting(Qt::ControlModifier | Qt::AltModifier |
                                               Qt::MetaModifier);
    w->Canvas1->MouseUp(250, 16);
    EXPECT_TRUE(w->Canvas1->mPics.empty());
    EXPECT_EQ(w->pam, nullptr);
    EXPECT_EQ(w->balkenaktiv, -1);
}

TEST_F(LaneTest, ShiftPressCarriesTheClipAsOurOwnDrag) {
    auto a = add(w->Canvas2, 100, 100, "a");
    QByteArray carried;
    platform::dragHook() = [&](QWidget*, QMimeData* data, const QPixmap&, QPoint) {
        carried = data->data(platform::kClipMimeType);
    };
    platform::Keyboard::setModifiersForTesting(Qt::ShiftModifier);
    EXPECT_FALSE(w->Canvas2->MouseDown(150, 16));
    platform::dragHook() = nullptr;
    auto d = lanes::decodeClipDrag(carried);
    ASSERT_TRUE(d.has_value());
    EXPECT_EQ(d->clip, reinterpret_cast<quintptr>(a.get()));
    EXPECT_EQ(d->lane, 2);
    EXPECT_EQ(w->pdragfromcanvas, 2);
    EXPECT_EQ(w->Canvas2->pdragtodelete, 0);
    EXPECT_EQ(w->balkenaktiv, -1);  // a Shift press does not select
}

TEST_F(LaneTest, CommandDragShiftsTheClipsToTheRight) {
    auto a = add(w->Canvas1, 200, 100, "a");  // 200..300, right of the play head at 100
    auto b = add(w->Canvas1, 400, 100, "b");
    auto c = add(w->Canvas2, 500, 100, "c");
    ASSERT_TRUE(w->Canvas1->MouseDown(250, 16));
    platform::Keyboard::setModifiersForTesting(Qt::ControlModifier);
    w->Canvas1->MouseDrag(270, 16);
    EXPECT_EQ(a->x, 270);
    EXPECT_EQ(b->x, 470);
    EXPECT_EQ(c->x, 570);
    EXPECT_DOUBLE_EQ(c->porgx, 570);
}

TEST_F(LaneTest, ControlReleaseSwapsLanesFromTheClipOn) {
    auto a = add(w->Canvas1, 200, 100, "a");
    auto b = add(w->Canvas2, 400, 100, "b");
    auto early = add(w->Canvas1, -100, 100, "early");
    ASSERT_TRUE(w->Canvas1->MouseDown(250, 16));
    platform::Keyboard::setModifiersForTesting(Qt::MetaModifier);
    w->Canvas1->MouseUp(250, 16);
    ASSERT_EQ(w->Canvas1->mPics.size(), 2u);
    EXPECT_EQ(w->Canvas1->mPics[0], early);
    EXPECT_EQ(w->Canvas1->mPics[1], b);
    ASSERT_EQ(w->Canvas2->mPics.size(), 1u);
    EXPECT_EQ(w->Canvas2->mPics[0], a);
    EXPECT_EQ(a->spur, 2);
    EXPECT_EQ(b->spur, 1);
    // Swapping again from the same place gives every clip its lane back.
    w->tracktauscher(a->x, a);
    EXPECT_EQ(a->spur, 1);
    EXPECT_EQ(b->spur, 2);
}

TEST_F(LaneTest, ZoomRoundTripKeepsClipsInTime) {
    w->ScrollBar1->setValue(2);  // scrolled by 120
    auto a = add(w->Canvas1, 180, 180, "a");
    a->pstart = 10, a->pstop = 170, a->pfadein = 30, a->pfadeout = 150, a->pplaypos = 20;
    const double porgx0 = a->porgx;
    w->xcopy = std::make_shared<DragPic>(*a);
    w->pastex = {300, 2};
    auto choose = [&](const char* row) {
        for (int i = 0; i < w->zoomer->ListCount(); ++i)
            if (w->zoomer->List(i) == row) w->zoomer->chooseRow(i);
    };
    choose("400");
    EXPECT_FLOAT_EQ(w->zoomwert, 4.0f);
    EXPECT_EQ(w->zoomer->Caption(), " 400%");
    EXPECT_DOUBLE_EQ(a->pdauer, 720);
    EXPECT_DOUBLE_EQ(a->porgx, porgx0 * 4);
    EXPECT_EQ(a->x, int(a->porgx - w->scrollwert));  // where the ruler says
    EXPECT_DOUBLE_EQ(w->xcopy->pdauer, 720);
    EXPECT_DOUBLE_EQ(w->pastex[0], 1200);
    EXPECT_EQ(a->image->Width(), 720);
    choose("25");
    EXPECT_DOUBLE_EQ(a->pdauer, 45);
    EXPECT_EQ(w->zoomer->Caption(), " 25%");
    choose("100");
    EXPECT_FLOAT_EQ(w->zoomwert, 1.0f);
    EXPECT_DOUBLE_EQ(a->pdauer, 180);
    EXPECT_DOUBLE_EQ(a->pstart, 10);
    EXPECT_DOUBLE_EQ(a->pfadeout, 150);
    EXPECT_DOUBLE_EQ(a->pplaypos, 20);
    EXPECT_DOUBLE_EQ(a->porgx, porgx0);
    EXPECT_EQ(a->x, int(a->porgx - w->scrollwert));
    EXPECT_DOUBLE_EQ(w->pastex[0], 300);
    // The same zoom again re-sets the caption and nothing else.
    w->suddensaveflag = 1;
    choose("100");
    EXPECT_EQ(w->suddensaveflag, 1);
}

TEST_F(LaneTest, ScrollingReplacesClipsHeadsAndRuler) {
    auto a = add(w->Canvas1, 50, 100, "a");  // porgx 100
    w->ScrollBar1->setValue(6);
    EXPECT_FLOAT_EQ(w->scrollwert, 360);
    EXPECT_EQ(a->x, -260);
    EXPECT_DOUBLE_EQ(w->playbalken, 100 - 360);
    EXPECT_EQ(w->playline->X1(), -260);
    EXPECT_EQ(w->playbutton->Left(), -267);
    EXPECT_EQ(w->playtime->Left(), -260);  // labels move with the ruler even without a text
    EXPECT_EQ(w->previewtime->Left(), 300 - 360 + 11);
    EXPECT_EQ(w->dauer1->Text(), "0.05:00");
    EXPECT_EQ(w->dauer1->Left(), -60);
    EXPECT_EQ(w->suddensaveflag, 0);  // a scroll counts as a change
}

TEST_F(LaneTest, HeadSearchScrollsToTheHeadsPage) {
    struct Case {
        double absolute;
        int value;
        float scroll;
    };
    for (const Case& c : {Case{250, 0, 0}, Case{500, 6, 360}, Case{1250, 20, 1200}}) {
        w->ScrollBar1->setValue(0);
        w->splayline = c.absolute;
        w->playbalken = c.absolute;
        w->nowplay_Action();
        EXPECT_EQ(w->ScrollBar1->Value(), c.value) << c.absolute;
        EXPECT_FLOAT_EQ(w->scrollwert, c.scroll) << c.absolute;
        EXPECT_FLOAT_EQ(w->scrollwert, w->ScrollBar1->Value() * 60.0f);
    }
    // Page 0 again from a scrolled view, and the offset stays value x 60 when the value holds.
    w->ScrollBar1->setValue(6);
    w->previeplayzentriere(3);
    EXPECT_EQ(w->ScrollBar1->Value(), 0);
    EXPECT_FLOAT_EQ(w->scrollwert, 0);
    w->splayline = 500;
    w->playbalken = 500;
    w->ScrollBar1->setValue(6);  // already on the head's page
    w->playbalken = 140;
    w->nowplay_Action();
    EXPECT_FLOAT_EQ(w->scrollwert, 360);
}

}  // namespace

namespace {

class LanePressTest : public testsupport::AppFixture {};

TEST_F(LanePressTest, OnlyPressesOnEmptyLaneSpaceReachTheWindow) {
    w->show();
    w->Canvas1->AddPicture(w->zeichnetrack("a", 100, 0, 100, 0, 100, 0), 200, 16, "a", 100,
                           "/m/a.mp3", 1, 0, 100, 0, 100, 0);
    auto clip = w->Canvas1->mPics.back();
    w->pam = clip;  // a Shift press on the playing clip does nothing but name it
    platform::Keyboard::setModifiersForTesting(Qt::ShiftModifier);
    QTest::mousePress(w->Canvas1, Qt::LeftButton, Qt::ShiftModifier, QPoint(250, 16));
    QTest::mouseRelease(w->Canvas1, Qt::LeftButton, Qt::ShiftModifier, QPoint(250, 16));
    EXPECT_EQ(w->msg->Text(), "a");
    EXPECT_DOUBLE_EQ(w->previewbalken, 300);   // the background click did not move the head
    EXPECT_EQ(w->pastex[1], 0.0);             // nor set a paste target

    // A Shift drag of the clip likewise stays the lane's.
    w->pam = nullptr;
    platform::dragHook() = [](QWidget*, QMimeData*, const QPixmap&, QPoint) {};
    QTest::mousePress(w->Canvas1, Qt::LeftButton, Qt::ShiftModifier, QPoint(250, 16));
    QTest::mouseRelease(w->Canvas1, Qt::LeftButton, Qt::ShiftModifier, QPoint(250, 16));
    platform::dragHook() = nullptr;
    EXPECT_DOUBLE_EQ(w->previewbalken, 300);

    // A press on empty lane space is a click on the window: lane 1 becomes the paste target.
    platform::Keyboard::setModifiersForTesting(Qt::NoModifier);
    QTest::mousePress(w->Canvas1, Qt::LeftButton, Qt::NoModifier, QPoint(500, 16));
    QTest::mouseRelease(w->Canvas1, Qt::LeftButton, Qt::NoModifier, QPoint(500, 16));
    EXPECT_EQ(w->pastex[0], 500.0);
    EXPECT_EQ(w->pastex[1], 1.0);
    EXPECT_DOUBLE_EQ(w->previewbalken, 500);
}

}  // namespace
