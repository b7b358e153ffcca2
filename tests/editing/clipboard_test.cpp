// Cut, Copy, Paste and Clear on the lanes' clips.
#include <QTest>
#include <functional>

#include "edit_fixture.h"
#include "shell/menu.h"

namespace {

using testsupport::EditFixture;

class ClipboardTest : public EditFixture {
  public:
    using EditFixture::add;
    using EditFixture::w;
};

// What Clear, Copy and Cut find to act on.
TEST_F(ClipboardTest, EditCommandsActOnlyOnTheSelectedClip) {
    struct Case {
        const char* name;
        std::function<void(ClipboardTest&, DragCanvas*, const DragPicRef&)> setUp;
        bool selected;  // the clip is the selection
        bool sounding;  // the play deck sounds it
    };
    const Case cases[] = {
        {"selected", [](ClipboardTest&, DragCanvas*, const DragPicRef&) {}, true, false},
        {"nothing selected",
         [](ClipboardTest& t, DragCanvas*, const DragPicRef&) { t.w->refreshc(); }, false, false},
        {"sounding",
         [](ClipboardTest& t, DragCanvas* lane, const DragPicRef& c) {
             (lane->lane() == 1 ? t.w->pam : t.w->pam2) = c;
         },
         true, true},
        {"index past the end",
         [](ClipboardTest& t, DragCanvas*, const DragPicRef&) { t.w->balkenaktiv = 5; }, false,
         false},
        {"stale after a swap",
         [](ClipboardTest& t, DragCanvas* lane, const DragPicRef& c) {
             t.add(t.w->lane(3 - lane->lane()), 600, 50, "other lane");
             t.w->tracktauscher(c->x, c);
         },
         false, false},
        {"stale after a Shift-press of another clip",
         [](ClipboardTest& t, DragCanvas* lane, const DragPicRef&) {
             lane->mDragging = t.add(lane, 700, 50, "pressed");
         },
         false, false},
    };
    enum Op { Clear, Copy, Cut };
    for (DragCanvas* lane : {w->Canvas1, w->Canvas2}) {
        for (const Case& c : cases) {
            for (Op op : {Clear, Copy, Cut}) {
                w->init();
                w->pam = w->pam2 = nullptr;
                const DragPicRef before = std::make_shared<DragPic>();
                w->xcopy = before;
                w->EditPaste()->AutoEnable = false;
                auto clip = add(lane, 200, 100, "sel");
                select(lane, clip);
                c.setUp(*this, lane, clip);
                if (op == Clear) w->_EditClear_Action();
                if (op == Copy) w->_editcopy_Action();
                if (op == Cut) w->_editcut_Action();
                const std::string what = std::string(c.name) + " lane " +
                                         std::to_string(lane->lane()) + " op " + std::to_string(op);
                const bool copied = c.selected && op != Clear;
                const bool deleted = c.selected && !c.sounding && op != Copy;
                EXPECT_EQ(w->xcopy != before, copied) << what;
                EXPECT_EQ(w->EditPaste()->AutoEnable, copied) << what;
                if (copied) {
                    EXPECT_EQ(w->xcopy->pname, "sel") << what;
                    EXPECT_NE(w->xcopy, clip) << what;
                }
                const bool present = lane->indexOf(clip.get()) >= 0 ||
                                     w->lane(3 - lane->lane())->indexOf(clip.get()) >= 0;
                EXPECT_EQ(present, !deleted) << what;
                if (deleted) {
                    EXPECT_EQ(w->balkenaktiv, -1) << what;
                    EXPECT_EQ(w->balkenaktivspur, 0) << what;
                    EXPECT_FALSE(EditClear()->AutoEnable) << what;
                    EXPECT_FALSE(EditCopy()->AutoEnable) << what;
                    EXPECT_FALSE(EditCut()->AutoEnable) << what;
                }
                if (c.sounding) {
                    EXPECT_EQ(w->balkenaktivspur, lane->lane()) << what;  // selection stays
                    EXPECT_TRUE(EditClear()->AutoEnable) << what;         // and the handles
                }
            }
        }
    }
}

TEST_F(ClipboardTest, ClearKeepsTheOrderOfTheOtherClips) {
    auto a = add(w->Canvas2, 0, 50, "a");
    auto b = add(w->Canvas2, 100, 50, "b");
    auto c = add(w->Canvas2, 200, 50, "c");
    ASSERT_TRUE(w->Canvas2->MouseDown(b->x, 16));  // brings b to the top
    w->Canvas2->MouseUp(b->x, 16);
    ASSERT_EQ(w->balkenaktiv, 2);
    ASSERT_EQ(w->msg->Text(), "b");
    w->pastex = {400, 1};
    w->EditPaste()->AutoEnable = true;
    w->clear();
    EXPECT_EQ(w->Canvas2->mPics, (std::vector<DragPicRef>{a, c}));
    EXPECT_EQ(w->msg->Text(), "");  // names no clip that is gone
    EXPECT_EQ(w->inp->Left(), -16);
    EXPECT_EQ(w->pastex, (std::vector<double>{400, 1}));
    EXPECT_TRUE(w->EditPaste()->AutoEnable);
}

TEST_F(ClipboardTest, PasteTestsTheEdgesAndTheCentre) {
    struct Case {
        const char* name;
        double otherLeft, otherDauer;  // a clip on the target lane; dauer 0: none
        std::vector<double> target;
        bool added;
        bool refused;
    };
    const Case cases[] = {
        {"empty lane", 0, 0, {300, 2}, true, false},
        {"starts on another's right edge", 200, 100, {300, 2}, true, false},
        {"ends on another's left edge", 400, 100, {300, 2}, true, false},
        {"left edge inside another", 250, 100, {300, 2}, false, true},
        {"right edge inside another", 350, 100, {300, 2}, false, true},
        {"centre inside another", 340, 20, {300, 2}, false, true},
        {"a short clip between the test points", 310, 30, {300, 2}, true, false},
        {"lane 1", 0, 0, {300, 1}, true, false},
        {"no target", 0, 0, {0, 0}, false, false},
        {"a click at x 0", 0, 0, {0, 2}, false, false},
        {"no lane", 0, 0, {300, 0}, false, false},
        {"a lane between the lanes", 0, 0, {300, 1.5}, false, false},
    };
    for (const Case& c : cases) {
        w->init();
        // The clipboard clip comes from lane 1 and has fades of its own.
        auto source = add(w->Canvas1, 1000, 100, "src");
        source->pstart = 5, source->pfadein = 10, source->pfadeout = 80, source->pstop = 90;
        source->pfarbe = 3;
        select(w->Canvas1, source);
        w->copy();
        w->refreshc();
        w->scrollwert = 60;
        const double laneNumber = c.target[1];
        DragCanvas* target = laneNumber == 1 ? w->Canvas1 : w->Canvas2;
        if (c.otherDauer > 0) add(target, c.otherLeft, c.otherDauer, "other");
        const size_t before = w->Canvas1->mPics.size() + w->Canvas2->mPics.size();
        w->pastex = c.target;
        w->msg->setText(QString());
        w->paste();
        const size_t after = w->Canvas1->mPics.size() + w->Canvas2->mPics.size();
        EXPECT_EQ(after, before + (c.added ? 1 : 0)) << c.name;
        EXPECT_EQ(w->msg->Text() == "do not drop one track onto another", c.refused) << c.name;
        EXPECT_EQ(w->pastex, c.target) << c.name;
        EXPECT_EQ(w->balkenaktiv, -1) << c.name;  // the new clip is not selected
        if (!c.added) continue;
        const DragPicRef p = target->mPics.back();
        EXPECT_NE(p, source) << c.name;
        EXPECT_NE(p->image, source->image) << c.name;  // a picture of its own
        EXPECT_EQ(p->x, 350) << c.name;
        EXPECT_DOUBLE_EQ(p->porgx, 410) << c.name;
        EXPECT_EQ(p->y, 16) << c.name;
        EXPECT_EQ(p->spur, laneNumber) << c.name;
        EXPECT_EQ(p->ppfad, "/m/src.mp3") << c.name;
        EXPECT_EQ(p->pfarbe, 3) << c.name;
        EXPECT_DOUBLE_EQ(p->pstart, 5) << c.name;
        EXPECT_DOUBLE_EQ(p->pfadein, 10) << c.name;
        EXPECT_DOUBLE_EQ(p->pfadeout, 80) << c.name;
        EXPECT_DOUBLE_EQ(p->pstop, 90) << c.name;
        EXPECT_DOUBLE_EQ(p->pplaypos, 0) << c.name;
    }
}

TEST_F(ClipboardTest, OneCopyPastesAnyNumberOfTimes) {
    auto source = add(w->Canvas1, 0, 100, "src");
    select(w->Canvas1, source);
    w->copy();
    const DragPicRef held = w->xcopy;
    w->clear();  // the source is gone, the clipboard stays
    EXPECT_TRUE(w->Canvas1->mPics.empty());

    w->pastex = {200, 2};
    w->paste();
    w->paste();  // same target: the second copy's centre falls inside the first
    EXPECT_EQ(w->Canvas2->mPics.size(), 1u);
    EXPECT_EQ(w->msg->Text(), "do not drop one track onto another");
    w->pastex = {300, 2};  // right against the first
    w->paste();
    ASSERT_EQ(w->Canvas2->mPics.size(), 2u);
    EXPECT_NE(w->Canvas2->mPics[0], w->Canvas2->mPics[1]);
    w->Canvas2->mPics[0]->pstart = 20;  // independent of each other and of the clipboard clip
    EXPECT_DOUBLE_EQ(w->Canvas2->mPics[1]->pstart, 0);
    EXPECT_DOUBLE_EQ(w->xcopy->pstart, 0);
    EXPECT_EQ(w->xcopy, held);

    // New and Open keep the clipboard clip.
    w->init();
    EXPECT_EQ(w->xcopy, held);
    w->pastex = {100, 1};
    w->paste();
    EXPECT_EQ(w->Canvas1->mPics.size(), 1u);
}

// Only a clip a playlist can hold enters the mix, so that a save never fails because of it.
TEST_F(ClipboardTest, PasteRefusesAPathAPlaylistCannotHold) {
    const struct {
        QString path, message;
    } cases[] = {
        {"/m/a\nb.mp3",
         "\"a\u21b5b.mp3\" was not taken: a playlist cannot hold a file path with a line break."},
        {"/m/c\uFFFD.mp3",  // a name that was not UTF-8, which no longer finds its file
         "\"c\uFFFD.mp3\" was not taken: a playlist cannot hold a file name that is not UTF-8 "
         "text."},
    };
    for (const auto& c : cases) {
        w->xcopy = std::make_shared<DragPic>();
        w->xcopy->pdauer = 50;
        w->xcopy->ppfad = c.path;
        w->pastex = {100, 1};
        w->paste();
        EXPECT_TRUE(w->Canvas1->mPics.empty());
        EXPECT_EQ(w->msg->Text(), c.message);
    }
}

TEST_F(ClipboardTest, PasteWithoutAClipboardClipDoesNothing) {
    w->xcopy = nullptr;
    w->pastex = {100, 1};
    w->paste();
    EXPECT_TRUE(w->Canvas1->mPics.empty());
    w->pastex.clear();  // never set: no target
    w->xcopy = std::make_shared<DragPic>();
    w->paste();
    EXPECT_TRUE(w->Canvas1->mPics.empty());
}

TEST_F(ClipboardTest, CopyAtClickedLaneSpaceAndPasteThroughTheWindow) {
    // The way a user does it: click the clip, Copy, click empty space of lane 2, Paste.
    w->show();
    auto clip = add(w->Canvas1, 100, 120, "song");
    QTest::mouseClick(w->Canvas1, Qt::LeftButton, Qt::NoModifier, QPoint(clip->x, 16));
    ASSERT_EQ(w->balkenaktivspur, 1);
    w->_editcopy_Action();
    QTest::mouseClick(w->Canvas2, Qt::LeftButton, Qt::NoModifier, QPoint(400, 16));
    EXPECT_EQ(w->pastex, (std::vector<double>{400, 2}));
    EXPECT_TRUE(w->EditPaste()->AutoEnable);
    w->_editpaste_Action();
    ASSERT_EQ(w->Canvas2->mPics.size(), 1u);
    EXPECT_EQ(w->Canvas2->mPics[0]->x, 460);
    EXPECT_EQ(w->Canvas2->mPics[0]->pname, "song");
}

}  // namespace
