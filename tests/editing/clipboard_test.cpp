// Cut, Copy, Paste and Clear on the lanes' clips.
#include <QTest>
#include <functional>

#include "edit_fixture.h"

namespace {

using testsupport::EditFixture;

class ClipboardTest : public EditFixture {};

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
         [](ClipboardTest& t, LaneView*, const model::ClipRef&) { t.mix().clearSelection(); },
         false, false},
        {"sounding",
         [](ClipboardTest& t, LaneView* lane, const model::ClipRef& c) {
             (lane->lane() == 1 ? t.playDeck().current[0] : t.playDeck().current[1]) = c;
         },
         true, true},
        {"index past the end",
         [](ClipboardTest& t, LaneView*, const model::ClipRef&) {
             t.mix().select(t.mix().selection()->lane, 5);
         },
         false, false},
        {"stale after a swap",
         [](ClipboardTest& t, LaneView* lane, const model::ClipRef& c) {
             t.add(t.lane(3 - lane->lane()), 600, 50, "other lane");
             t.mix().swapClipsFrom(c->centre);
         },
         false, false},
        {"stale after a Shift-press of another clip",
         [](ClipboardTest& t, LaneView* lane, const model::ClipRef&) {
             lane->draggedClip = t.add(lane, 700, 50, "pressed");
         },
         false, false},
    };
    enum Op { Clear, Copy, Cut };
    for (LaneView* lane : {lane(1), lane(2)}) {
        for (const Case& c : cases) {
            for (Op op : {Clear, Copy, Cut}) {
                documents().resetDocument();
                playDeck().current[0] = playDeck().current[1] = nullptr;
                const model::ClipRef before = std::make_shared<model::Clip>();
                mix().setClipboardClip(before);
                menu()->pasteAllowed = false;
                auto clip = add(lane, 200, 100, "sel");
                select(lane, clip);
                c.setUp(*this, lane, clip);
                if (op == Clear) edits().clear();
                if (op == Copy) edits().copy();
                if (op == Cut) edits().cut();
                const std::string what = std::string(c.name) + " lane " +
                                         std::to_string(lane->lane()) + " op " + std::to_string(op);
                const bool copied = c.selected && op != Clear;
                const bool deleted = c.selected && !c.sounding && op != Copy;
                EXPECT_EQ(mix().clipboardClip() != before, copied) << what;
                EXPECT_EQ(menu()->pasteAllowed, copied) << what;
                if (copied) {
                    EXPECT_EQ(mix().clipboardClip()->name, "sel") << what;
                    EXPECT_NE(mix().clipboardClip(), clip) << what;
                }
                const bool present = lane->indexOf(clip.get()) >= 0 ||
                                     this->lane(3 - lane->lane())->indexOf(clip.get()) >= 0;
                EXPECT_EQ(present, !deleted) << what;
                if (deleted) {
                    EXPECT_EQ(mix().selection(), std::nullopt) << what;
                    EXPECT_FALSE(menu()->clipSelected) << what;
                }
                if (c.sounding) {
                    EXPECT_EQ(mix().selection()->lane, lane->lane()) << what;  // selection stays
                    EXPECT_TRUE(menu()->clipSelected) << what;                 // and the handles
                }
            }
        }
    }
}

TEST_F(ClipboardTest, ClearKeepsTheOrderOfTheOtherClips) {
    auto a = add(lane(2), 0, 50, "a");
    auto b = add(lane(2), 100, 50, "b");
    auto c = add(lane(2), 200, 50, "c");
    ASSERT_TRUE(lane(2)->pressAt(onLane(*b), 16));  // brings b to the top
    lane(2)->releaseAt(onLane(*b), 16);
    ASSERT_EQ(mix().selection(), (model::ClipSelection{2, 2}));
    ASSERT_EQ(statusText(), "b");
    mix().setPasteTarget(model::PasteTarget{400, 1});
    menu()->pasteAllowed = true;
    edits().clear();
    EXPECT_EQ(lane(2)->clips, (std::vector<model::ClipRef>{a, c}));
    EXPECT_EQ(statusText(), "");  // names no clip that is gone
    EXPECT_EQ(control<ClipHandle>("inPointHandle")->x(), -16);
    EXPECT_EQ(mix().pasteTarget(), (model::PasteTarget{400, 1}));
    EXPECT_TRUE(menu()->pasteAllowed);
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
        {"empty lane", 0, 0, {{360, 2}}, true, false},
        {"starts on another's right edge", 200, 100, {{360, 2}}, true, false},
        {"ends on another's left edge", 400, 100, {{360, 2}}, true, false},
        {"left edge inside another", 250, 100, {{360, 2}}, false, true},
        {"right edge inside another", 350, 100, {{360, 2}}, false, true},
        {"centre inside another", 340, 20, {{360, 2}}, false, true},
        {"a short clip between the test points", 310, 30, {{360, 2}}, true, false},
        {"lane 1", 0, 0, {{360, 1}}, true, false},
        {"no target", 0, 0, std::nullopt, false, false},
        {"a click at x 0", 0, 0, {{60, 2}}, false, false},
        {"no lane", 0, 0, {{360, 0}}, false, false},
    };
    for (const Case& c : cases) {
        documents().resetDocument();
        // The clipboard clip comes from lane 1 and has fades of its own.
        auto source = add(lane(1), 1000, 100, "src");
        source->inPoint = 5, source->fadeInEnd = 10, source->fadeOutStart = 80,
        source->outPoint = 90;
        source->label = 3;
        select(lane(1), source);
        edits().copy();
        mix().clearSelection();
        mix().setScrollX(60);
        LaneView* target = c.target && c.target->lane == 1 ? lane(1) : lane(2);
        if (c.otherLength > 0) add(target, c.otherLeft, c.otherLength, "other");
        const size_t before = lane(1)->clips.size() + lane(2)->clips.size();
        mix().setPasteTarget(c.target);
        statusLine()->setText(QString());
        edits().paste();
        const size_t after = lane(1)->clips.size() + lane(2)->clips.size();
        EXPECT_EQ(after, before + (c.added ? 1 : 0)) << c.name;
        EXPECT_EQ(statusText() == "do not drop one track onto another", c.refused) << c.name;
        EXPECT_EQ(mix().pasteTarget(), c.target) << c.name;
        EXPECT_EQ(mix().selection(), std::nullopt) << c.name;  // the new clip is not selected
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
    auto source = add(lane(1), 0, 100, "src");
    select(lane(1), source);
    edits().copy();
    const model::ClipRef held = mix().clipboardClip();
    edits().clear();  // the source is gone, the clipboard stays
    EXPECT_TRUE(lane(1)->clips.empty());

    mix().setPasteTarget(model::PasteTarget{200, 2});
    edits().paste();
    edits().paste();  // same target: the second copy's centre falls inside the first
    EXPECT_EQ(lane(2)->clips.size(), 1u);
    EXPECT_EQ(statusText(), "do not drop one track onto another");
    mix().setPasteTarget(model::PasteTarget{300, 2});  // right against the first
    edits().paste();
    ASSERT_EQ(lane(2)->clips.size(), 2u);
    EXPECT_NE(lane(2)->clips[0], lane(2)->clips[1]);
    lane(2)->clips[0]->inPoint = 20;  // independent of each other and of the clipboard clip
    EXPECT_DOUBLE_EQ(lane(2)->clips[1]->inPoint, 0);
    EXPECT_DOUBLE_EQ(mix().clipboardClip()->inPoint, 0);
    EXPECT_EQ(mix().clipboardClip(), held);

    // New and Open keep the clipboard clip.
    documents().resetDocument();
    EXPECT_EQ(mix().clipboardClip(), held);
    mix().setPasteTarget(model::PasteTarget{100, 1});
    edits().paste();
    EXPECT_EQ(lane(1)->clips.size(), 1u);
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
        mix().setClipboardClip(std::make_shared<model::Clip>());
        mix().clipboardClip()->lengthPx = 50;
        mix().clipboardClip()->path = c.path;
        mix().setPasteTarget(model::PasteTarget{100, 1});
        edits().paste();
        EXPECT_TRUE(lane(1)->clips.empty());
        EXPECT_EQ(statusText(), c.message);
    }
}

TEST_F(ClipboardTest, PasteWithoutAClipboardClipDoesNothing) {
    mix().setClipboardClip(nullptr);
    mix().setPasteTarget(model::PasteTarget{100, 1});
    edits().paste();
    EXPECT_TRUE(lane(1)->clips.empty());
    mix().setPasteTarget(std::nullopt);  // never set: no target
    mix().setClipboardClip(std::make_shared<model::Clip>());
    edits().paste();
    EXPECT_TRUE(lane(1)->clips.empty());
}

TEST_F(ClipboardTest, CopyAtClickedLaneSpaceAndPasteThroughTheWindow) {
    // The way a user does it: click the clip, Copy, click empty space of lane 2, zoom to 200 %,
    // Paste: the copy lands where the click was, in time.
    w->show();
    auto clip = add(lane(1), 100, 120, "song");
    QTest::mouseClick(lane(1), Qt::LeftButton, Qt::NoModifier, QPoint(onLane(*clip), 16));
    ASSERT_EQ(mix().selection()->lane, 1);
    menu()->copyAction->trigger();
    QTest::mouseClick(lane(2), Qt::LeftButton, Qt::NoModifier, QPoint(400, 16));
    EXPECT_EQ(mix().pasteTarget(), (model::PasteTarget{400, 2}));
    EXPECT_TRUE(menu()->pasteAllowed);
    for (QAction* level : control<platform::FlatButton>("zoomButton")->menu()->actions())
        if (level->text() == "200") level->trigger();
    menu()->pasteAction->trigger();
    ASSERT_EQ(lane(2)->clips.size(), 1u);
    EXPECT_DOUBLE_EQ(lane(2)->clips[0]->centre, 920);
    EXPECT_EQ(lane(2)->clips[0]->name, "song");
}

}  // namespace
