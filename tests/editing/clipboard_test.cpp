// Cut, Copy, Paste and Clear on the lanes' clips.
#include <QTest>
#include <functional>

#include "edit_fixture.h"

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
        std::function<void(ClipboardTest&, LaneView*, const model::ClipRef&)> setUp;
        bool selected;  // the clip is the selection
        bool sounding;  // the play deck sounds it
    };
    const Case cases[] = {
        {"selected", [](ClipboardTest&, LaneView*, const model::ClipRef&) {}, true, false},
        {"nothing selected",
         [](ClipboardTest& t, LaneView*, const model::ClipRef&) { t.w->mix.clearSelection(); },
         false, false},
        {"sounding",
         [](ClipboardTest& t, LaneView* lane, const model::ClipRef& c) {
             (lane->lane() == 1 ? t.w->playDeck.current[0] : t.w->playDeck.current[1]) = c;
         },
         true, true},
        {"index past the end",
         [](ClipboardTest& t, LaneView*, const model::ClipRef&) { t.w->mix.selection->index = 5; },
         false, false},
        {"stale after a swap",
         [](ClipboardTest& t, LaneView* lane, const model::ClipRef& c) {
             t.add(t.w->lane(3 - lane->lane()), 600, 50, "other lane");
             t.w->mix.swapClipsFrom(c->centre);
         },
         false, false},
        {"stale after a Shift-press of another clip",
         [](ClipboardTest& t, LaneView* lane, const model::ClipRef&) {
             lane->draggedClip = t.add(lane, 700, 50, "pressed");
         },
         false, false},
    };
    enum Op { Clear, Copy, Cut };
    for (LaneView* lane : {w->laneView1, w->laneView2}) {
        for (const Case& c : cases) {
            for (Op op : {Clear, Copy, Cut}) {
                w->init();
                w->playDeck.current[0] = w->playDeck.current[1] = nullptr;
                const model::ClipRef before = std::make_shared<model::Clip>();
                w->mix.clipboardClip = before;
                w->menu->pasteAllowed = false;
                auto clip = add(lane, 200, 100, "sel");
                select(lane, clip);
                c.setUp(*this, lane, clip);
                if (op == Clear) w->clear();
                if (op == Copy) w->copy();
                if (op == Cut) w->cutChosen();
                const std::string what = std::string(c.name) + " lane " +
                                         std::to_string(lane->lane()) + " op " + std::to_string(op);
                const bool copied = c.selected && op != Clear;
                const bool deleted = c.selected && !c.sounding && op != Copy;
                EXPECT_EQ(w->mix.clipboardClip != before, copied) << what;
                EXPECT_EQ(w->menu->pasteAllowed, copied) << what;
                if (copied) {
                    EXPECT_EQ(w->mix.clipboardClip->name, "sel") << what;
                    EXPECT_NE(w->mix.clipboardClip, clip) << what;
                }
                const bool present = lane->indexOf(clip.get()) >= 0 ||
                                     w->lane(3 - lane->lane())->indexOf(clip.get()) >= 0;
                EXPECT_EQ(present, !deleted) << what;
                if (deleted) {
                    EXPECT_EQ(w->mix.selection, std::nullopt) << what;
                    EXPECT_FALSE(w->menu->clipSelected) << what;
                }
                if (c.sounding) {
                    EXPECT_EQ(w->mix.selection->lane, lane->lane()) << what;  // selection stays
                    EXPECT_TRUE(w->menu->clipSelected) << what;               // and the handles
                }
            }
        }
    }
}

TEST_F(ClipboardTest, ClearKeepsTheOrderOfTheOtherClips) {
    auto a = add(w->laneView2, 0, 50, "a");
    auto b = add(w->laneView2, 100, 50, "b");
    auto c = add(w->laneView2, 200, 50, "c");
    ASSERT_TRUE(w->laneView2->pressAt(onLane(*b), 16));  // brings b to the top
    w->laneView2->releaseAt(onLane(*b), 16);
    ASSERT_EQ(w->mix.selection, (model::ClipSelection{2, 2}));
    ASSERT_EQ(w->statusLine->text(), "b");
    w->mix.pasteTarget = model::PasteTarget{400, 1};
    w->menu->pasteAllowed = true;
    w->clear();
    EXPECT_EQ(w->laneView2->clips, (std::vector<model::ClipRef>{a, c}));
    EXPECT_EQ(w->statusLine->text(), "");  // names no clip that is gone
    EXPECT_EQ(w->handles.inPoint->x(), -16);
    EXPECT_EQ(w->mix.pasteTarget, (model::PasteTarget{400, 1}));
    EXPECT_TRUE(w->menu->pasteAllowed);
}

TEST_F(ClipboardTest, PasteTestsTheEdgesAndTheCentre) {
    struct Case {
        const char* name;
        double otherLeft, otherLength;  // a clip on the target lane; length 0: none
        std::optional<model::PasteTarget> target;
        bool added;
        bool refused;
    };
    const Case cases[] = {
        {"empty lane", 0, 0, {{300, 2}}, true, false},
        {"starts on another's right edge", 200, 100, {{300, 2}}, true, false},
        {"ends on another's left edge", 400, 100, {{300, 2}}, true, false},
        {"left edge inside another", 250, 100, {{300, 2}}, false, true},
        {"right edge inside another", 350, 100, {{300, 2}}, false, true},
        {"centre inside another", 340, 20, {{300, 2}}, false, true},
        {"a short clip between the test points", 310, 30, {{300, 2}}, true, false},
        {"lane 1", 0, 0, {{300, 1}}, true, false},
        {"no target", 0, 0, std::nullopt, false, false},
        {"a click at x 0", 0, 0, {{0, 2}}, false, false},
        {"no lane", 0, 0, {{300, 0}}, false, false},
    };
    for (const Case& c : cases) {
        w->init();
        // The clipboard clip comes from lane 1 and has fades of its own.
        auto source = add(w->laneView1, 1000, 100, "src");
        source->inPoint = 5, source->fadeInEnd = 10, source->fadeOutStart = 80,
        source->outPoint = 90;
        source->label = 3;
        select(w->laneView1, source);
        w->copy();
        w->mix.clearSelection();
        w->mix.scrollX = 60;
        LaneView* target = c.target && c.target->lane == 1 ? w->laneView1 : w->laneView2;
        if (c.otherLength > 0) add(target, c.otherLeft, c.otherLength, "other");
        const size_t before = w->laneView1->clips.size() + w->laneView2->clips.size();
        w->mix.pasteTarget = c.target;
        w->statusLine->setText(QString());
        w->paste();
        const size_t after = w->laneView1->clips.size() + w->laneView2->clips.size();
        EXPECT_EQ(after, before + (c.added ? 1 : 0)) << c.name;
        EXPECT_EQ(w->statusLine->text() == "do not drop one track onto another", c.refused)
            << c.name;
        EXPECT_EQ(w->mix.pasteTarget, c.target) << c.name;
        EXPECT_EQ(w->mix.selection, std::nullopt) << c.name;  // the new clip is not selected
        if (!c.added) continue;
        const model::ClipRef p = target->clips.back();
        EXPECT_NE(p, source) << c.name;
        EXPECT_NE(p->image, source->image) << c.name;  // a picture of its own
        EXPECT_EQ(onLane(*p), 350) << c.name;
        EXPECT_DOUBLE_EQ(p->centre, 410) << c.name;
        EXPECT_EQ(p->lane, c.target->lane) << c.name;
        EXPECT_EQ(p->path, "/m/src.mp3") << c.name;
        EXPECT_EQ(p->label, 3) << c.name;
        EXPECT_DOUBLE_EQ(p->inPoint, 5) << c.name;
        EXPECT_DOUBLE_EQ(p->fadeInEnd, 10) << c.name;
        EXPECT_DOUBLE_EQ(p->fadeOutStart, 80) << c.name;
        EXPECT_DOUBLE_EQ(p->outPoint, 90) << c.name;
        EXPECT_DOUBLE_EQ(p->playStart, 0) << c.name;
    }
}

TEST_F(ClipboardTest, OneCopyPastesAnyNumberOfTimes) {
    auto source = add(w->laneView1, 0, 100, "src");
    select(w->laneView1, source);
    w->copy();
    const model::ClipRef held = w->mix.clipboardClip;
    w->clear();  // the source is gone, the clipboard stays
    EXPECT_TRUE(w->laneView1->clips.empty());

    w->mix.pasteTarget = model::PasteTarget{200, 2};
    w->paste();
    w->paste();  // same target: the second copy's centre falls inside the first
    EXPECT_EQ(w->laneView2->clips.size(), 1u);
    EXPECT_EQ(w->statusLine->text(), "do not drop one track onto another");
    w->mix.pasteTarget = model::PasteTarget{300, 2};  // right against the first
    w->paste();
    ASSERT_EQ(w->laneView2->clips.size(), 2u);
    EXPECT_NE(w->laneView2->clips[0], w->laneView2->clips[1]);
    w->laneView2->clips[0]->inPoint = 20;  // independent of each other and of the clipboard clip
    EXPECT_DOUBLE_EQ(w->laneView2->clips[1]->inPoint, 0);
    EXPECT_DOUBLE_EQ(w->mix.clipboardClip->inPoint, 0);
    EXPECT_EQ(w->mix.clipboardClip, held);

    // New and Open keep the clipboard clip.
    w->init();
    EXPECT_EQ(w->mix.clipboardClip, held);
    w->mix.pasteTarget = model::PasteTarget{100, 1};
    w->paste();
    EXPECT_EQ(w->laneView1->clips.size(), 1u);
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
        w->mix.clipboardClip = std::make_shared<model::Clip>();
        w->mix.clipboardClip->lengthPx = 50;
        w->mix.clipboardClip->path = c.path;
        w->mix.pasteTarget = model::PasteTarget{100, 1};
        w->paste();
        EXPECT_TRUE(w->laneView1->clips.empty());
        EXPECT_EQ(w->statusLine->text(), c.message);
    }
}

TEST_F(ClipboardTest, PasteWithoutAClipboardClipDoesNothing) {
    w->mix.clipboardClip = nullptr;
    w->mix.pasteTarget = model::PasteTarget{100, 1};
    w->paste();
    EXPECT_TRUE(w->laneView1->clips.empty());
    w->mix.pasteTarget.reset();  // never set: no target
    w->mix.clipboardClip = std::make_shared<model::Clip>();
    w->paste();
    EXPECT_TRUE(w->laneView1->clips.empty());
}

TEST_F(ClipboardTest, CopyAtClickedLaneSpaceAndPasteThroughTheWindow) {
    // The way a user does it: click the clip, Copy, click empty space of lane 2, Paste.
    w->show();
    auto clip = add(w->laneView1, 100, 120, "song");
    QTest::mouseClick(w->laneView1, Qt::LeftButton, Qt::NoModifier, QPoint(onLane(*clip), 16));
    ASSERT_EQ(w->mix.selection->lane, 1);
    w->menu->copyAction->trigger();
    QTest::mouseClick(w->laneView2, Qt::LeftButton, Qt::NoModifier, QPoint(400, 16));
    EXPECT_EQ(w->mix.pasteTarget, (model::PasteTarget{400, 2}));
    EXPECT_TRUE(w->menu->pasteAllowed);
    w->menu->pasteAction->trigger();
    ASSERT_EQ(w->laneView2->clips.size(), 1u);
    EXPECT_EQ(onLane(*w->laneView2->clips[0]), 460);
    EXPECT_EQ(w->laneView2->clips[0]->name, "song");
}

}  // namespace
