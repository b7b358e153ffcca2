// The main window's keyboard commands, as runs of key events.
#include <functional>
#include <string>

#include "edit_fixture.h"
#include "model/key_commands.h"

namespace {

using testsupport::EditFixture;

class KeyCommandTest : public EditFixture {};

// One step of a run of key events: a press, an automatic repeat (marked, or as X11 sends it), a
// release, or the window losing the focus.
enum class Ev { Press, Repeat, XRepeat, Release, FocusLost };
struct Step {
    Ev ev;
    int key;
    bool previewAfter;
};

TEST_F(KeyCommandTest, SpaceTogglesThePreviewOncePerPress) {
    struct Case {
        const char* name;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"the first press after start-up", {{Ev::Press, Qt::Key_Space, true}}},
        {"repeats of a held Space, marked or as X11 sends them",
         {{Ev::Press, Qt::Key_Space, true},
          {Ev::Repeat, Qt::Key_Space, true},
          {Ev::XRepeat, Qt::Key_Space, true},
          {Ev::Repeat, Qt::Key_Space, true},
          {Ev::Release, Qt::Key_Space, true}}},
        {"two separate presses",
         {{Ev::Press, Qt::Key_Space, true},
          {Ev::Release, Qt::Key_Space, true},
          {Ev::Press, Qt::Key_Space, false},
          {Ev::Release, Qt::Key_Space, false},
          {Ev::Press, Qt::Key_Space, true}}},
        {"other keys while Space is held",
         {{Ev::Press, Qt::Key_Space, true},
          {Ev::Press, Qt::Key_A, true},
          {Ev::Release, Qt::Key_A, true},
          {Ev::Repeat, Qt::Key_Space, true},
          {Ev::Press, Qt::Key_Left, true},
          {Ev::Release, Qt::Key_Space, true},
          {Ev::Release, Qt::Key_Left, true},
          {Ev::Press, Qt::Key_Space, false}}},
        {"Space, A, Space",
         {{Ev::Press, Qt::Key_Space, true},
          {Ev::Release, Qt::Key_Space, true},
          {Ev::Press, Qt::Key_A, true},
          {Ev::Release, Qt::Key_A, true},
          {Ev::Press, Qt::Key_Space, false}}},
        {"Space let go while a dialog had the focus",
         {{Ev::Press, Qt::Key_Space, true},
          {Ev::FocusLost, 0, true},
          {Ev::Press, Qt::Key_Space, false}}},
        {"Space held while a dialog had the focus",
         {{Ev::Press, Qt::Key_Space, true},
          {Ev::FocusLost, 0, true},
          {Ev::Repeat, Qt::Key_Space, true},
          {Ev::Repeat, Qt::Key_Space, true},
          {Ev::Release, Qt::Key_Space, true},
          {Ev::Press, Qt::Key_Space, false}}},
    };
    for (const Case& c : cases) {
        if (previewDeck().running()) menu()->previewAction->trigger();
        edits().focusLost();
        platform::Keyboard::resetForTesting();
        int n = 0;
        for (const Step& s : c.steps) {
            if (s.ev == Ev::FocusLost) {
                QEvent e(QEvent::WindowDeactivate);
                QApplication::sendEvent(w, &e);
            } else if (s.ev == Ev::XRepeat) {  // a release and a press at one moment, unmarked
                key(QEvent::KeyRelease, s.key, false, Qt::NoModifier, ++keyClock);
                key(QEvent::KeyPress, s.key, false, Qt::NoModifier, keyClock);
            } else {
                key(s.ev == Ev::Release ? QEvent::KeyRelease : QEvent::KeyPress, s.key,
                    s.ev == Ev::Repeat);
            }
            EXPECT_EQ(previewDeck().running(), s.previewAfter) << c.name << ", step " << n;
            ++n;
        }
    }
}

TEST_F(KeyCommandTest, ModifierKeysAloneAreNoKeyEvents) {
    auto clip = add(lane(1), 200, 100);
    select(lane(1), clip);
    for (int k : {Qt::Key_Shift, Qt::Key_Control, Qt::Key_Alt, Qt::Key_Meta}) {
        mix().markSaved();
        key(QEvent::KeyPress, k);
        key(QEvent::KeyRelease, k);
        EXPECT_TRUE(mix().document().saved) << k;
    }
    // Any other key with a clip selected places the handles again: the playlist has changed.
    key(QEvent::KeyPress, Qt::Key_A);
    EXPECT_FALSE(mix().document().saved);
}

TEST_F(KeyCommandTest, LosingTheFocusForgetsTheKeysHeld) {
    key(QEvent::KeyPress, Qt::Key_Left);
    EXPECT_TRUE(platform::Keyboard::keyDown(Qt::Key_Left));
    QEvent e(QEvent::WindowDeactivate);
    QApplication::sendEvent(w, &e);
    EXPECT_FALSE(platform::Keyboard::keyDown(Qt::Key_Left));
    // The release went to the dialog; the next press is a fresh one.
    key(QEvent::KeyPress, Qt::Key_Right);
    EXPECT_FALSE(platform::Keyboard::keyDown(Qt::Key_Left));
    EXPECT_TRUE(platform::Keyboard::keyDown(Qt::Key_Right));
}

TEST_F(KeyCommandTest, CtrlLExportsOnceAndTheVolumeKeysStillAct) {
    struct Case {
        const char* name;
        std::initializer_list<int> keys;
        Qt::KeyboardModifiers mods;
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {"Ctrl+L", {Qt::Key_L}, Qt::ControlModifier, {"export"}},
        {"L alone", {Qt::Key_L}, Qt::NoModifier, {}},
        {"Ctrl alone", {}, Qt::ControlModifier, {}},
        {"Alt+L", {Qt::Key_L}, Qt::AltModifier, {}},
        {"Ctrl+L and volume up",
         {Qt::Key_L, Qt::Key_BracketRight},
         Qt::ControlModifier,
         {"export", "volume"}},
    };
    for (const Case& c : cases) {
        log.clear();
        holdAndPress(c.keys, c.mods);
        EXPECT_EQ(log, c.log) << c.name;
    }
}

TEST_F(KeyCommandTest, VolumeKeysSetTheClampedVolumeAndSizeTheBar) {
    struct Case {
        const char* name;
        double start;
        std::initializer_list<int> keys;
        std::vector<double> written;
        int height;
    };
    const Case cases[] = {
        {"up", 0.5, {Qt::Key_BracketRight}, {0.6}, 8},
        {"down", 0.5, {Qt::Key_Slash}, {0.4}, 5},
        {"up at full volume", 1.0, {Qt::Key_BracketRight}, {1.0}, 14},
        {"down at silence", 0.0, {Qt::Key_Slash}, {0.0}, 0},
        {"both pairs: up, then down again",
         0.5,
         {Qt::Key_BracketRight, Qt::Key_Slash},
         {0.6, 0.5},
         7},
        {"both at full volume", 1.0, {Qt::Key_BracketRight, Qt::Key_Slash}, {1.0, 0.9}, 12},
        {"no volume key", 0.5, {Qt::Key_A}, {}, -1},
    };
    for (const Case& c : cases) {
        volume = c.start;
        written.clear();
        control<platform::BorderedRectangle>("volumeMeter")->resize(1, 3);
        holdAndPress(c.keys);
        ASSERT_EQ(written.size(), c.written.size()) << c.name;
        for (size_t i = 0; i < written.size(); ++i) {
            EXPECT_DOUBLE_EQ(written[i], c.written[i]) << c.name;
        }
        const int height = c.height < 0 ? 3 : c.height;
        EXPECT_EQ(control<platform::BorderedRectangle>("volumeMeter")->height(), height) << c.name;
        if (c.height >= 0) {
            EXPECT_EQ(control<platform::BorderedRectangle>("volumeMeter")->y(), 178 - c.height)
                << c.name;
        }
    }
}

TEST_F(KeyCommandTest, KeypadKeysStepTheVolumeToo) {
    volume = 0.3;
    key(QEvent::KeyPress, Qt::Key_Plus, false, Qt::KeypadModifier);
    key(QEvent::KeyRelease, Qt::Key_Plus, false, Qt::KeypadModifier);
    key(QEvent::KeyPress, Qt::Key_Minus, false, Qt::KeypadModifier);
    key(QEvent::KeyPress, Qt::Key_Minus, true, Qt::KeypadModifier);  // held: repeats step again
    ASSERT_EQ(written.size(), 3u);
    EXPECT_DOUBLE_EQ(written[0], 0.4);
    EXPECT_DOUBLE_EQ(written[1], 0.3);
    EXPECT_DOUBLE_EQ(written[2], 0.2);
    EXPECT_EQ(control<platform::BorderedRectangle>("volumeMeter")->height(), 2);
}

TEST_F(KeyCommandTest, ArrowsNudgeTheSelectedClipAndPlaceItsHandles) {
    struct Case {
        const char* name;
        std::initializer_list<int> keys;
        Qt::KeyboardModifiers mods;
        double neighbourLeft;  // a clip 100 wide on the same lane; 0: none
        int moved;
        bool refused;
    };
    const Case cases[] = {
        {"Shift+Left", {Qt::Key_Left}, Qt::ShiftModifier, 0, -11, false},
        {"Left and Right", {Qt::Key_Left, Qt::Key_Right}, Qt::NoModifier, 0, 0, false},
        {"Shift+Right onto a neighbour 5 away", {Qt::Key_Right}, Qt::ShiftModifier, 305, 1, true},
        {"no command key", {Qt::Key_A}, Qt::NoModifier, 0, 0, false},
    };
    for (LaneView* lane : {lane(1), lane(2)}) {
        for (const Case& c : cases) {
            documents().resetDocument();
            auto clip = add(lane, 200, 100);  // 200..300
            if (c.neighbourLeft != 0) add(lane, c.neighbourLeft, 100, "n");
            select(lane, clip);
            const double centre0 = clip->centre;
            statusLine()->setText(QString());
            control<ClipHandle>("inPointHandle")
                ->move(-16, control<ClipHandle>("inPointHandle")->y());
            mix().markSaved();
            holdAndPress(c.keys, c.mods);
            EXPECT_EQ(onLane(*clip), 250 + c.moved) << c.name << " lane " << lane->lane();
            EXPECT_DOUBLE_EQ(clip->centre, centre0 + c.moved) << c.name;
            EXPECT_EQ(statusText() == "do not drop one track onto another", c.refused) << c.name;
            EXPECT_EQ(control<ClipHandle>("inPointHandle")->x(), onLane(*clip) - 50 - 6)
                << c.name;  // handles follow the clip
            EXPECT_FALSE(mix().document().saved) << c.name;
            EXPECT_DOUBLE_EQ(clip->inPoint, 0) << c.name;
            EXPECT_EQ(mix().selection()->lane, lane->lane()) << c.name;
        }
    }
}

TEST_F(KeyCommandTest, BackspaceDeletesTheSelectedClip) {
    struct Case {
        const char* name;
        std::initializer_list<int> keys;
        bool latchOpen;
    };
    const Case cases[] = {
        {"Backspace", {Qt::Key_Backspace}, false},
        {"Backspace and Left", {Qt::Key_Backspace, Qt::Key_Left}, false},
        {"Space and Backspace in one event", {Qt::Key_Space, Qt::Key_Backspace}, true},
    };
    for (LaneView* lane : {lane(1), lane(2)}) {
        for (const Case& c : cases) {
            documents().resetDocument();
            if (previewDeck().running()) menu()->previewAction->trigger();
            edits().focusLost();
            auto other = add(lane, 500, 100, "other");
            auto clip = add(lane, 200, 100);
            select(lane, clip);
            holdAndPress(c.keys);
            ASSERT_EQ(lane->clips.size(), 1u) << c.name;
            EXPECT_EQ(lane->clips[0], other) << c.name;
            EXPECT_EQ(onLane(*other), 550) << c.name;
            EXPECT_EQ(mix().selection(), std::nullopt) << c.name;
            EXPECT_EQ(control<ClipHandle>("inPointHandle")->x(), -16) << c.name;  // handles hidden
            EXPECT_EQ(previewDeck().running(), c.latchOpen) << c.name;
        }
    }
}

TEST_F(KeyCommandTest, NoSelectionOrASoundingClipIsLeftAlone) {
    struct Case {
        const char* name;
        std::function<void(KeyCommandTest&, const model::ClipRef&)> setUp;
    };
    const Case cases[] = {
        {"nothing selected",
         [](KeyCommandTest& t, const model::ClipRef&) { t.mix().clearSelection(); }},
        {"sounding on lane 1",
         [](KeyCommandTest& t, const model::ClipRef& c) { t.playDeck().current[0] = c; }},
        {"sounding on the other deck lane",
         [](KeyCommandTest& t, const model::ClipRef& c) { t.playDeck().current[1] = c; }},
        {"index past the end",
         [](KeyCommandTest& t, const model::ClipRef&) {
             t.mix().select(t.mix().selection()->lane, 7);
         }},
        {"stale after a swap",
         [](KeyCommandTest& t, const model::ClipRef& c) {
             t.add(t.lane(2), 600, 50, "late");
             // c goes to lane 2, "late" takes its index on lane 1
             t.mix().swapClipsFrom(c->centre);
         }},
        {"stale after a Shift-drag to the other lane",
         [](KeyCommandTest& t, const model::ClipRef&) {
             auto b = t.add(t.lane(1), 600, 50, "b");
             t.lane(1)->draggedClip = b;  // pressed with Shift: handles gone, index unchanged
         }},
    };
    const std::initializer_list<int> keys[] = {
        {Qt::Key_Backspace}, {Qt::Key_Left}, {Qt::Key_Right}, {Qt::Key_A}};
    for (const Case& c : cases) {
        for (const auto& k : keys) {
            documents().resetDocument();
            auto clip = add(lane(1), 200, 100);
            select(lane(1), clip);
            c.setUp(*this, clip);
            const size_t clips = lane(1)->clips.size() + lane(2)->clips.size();
            const std::optional<model::ClipSelection> selection = mix().selection();
            statusLine()->setText(QString());
            mix().markSaved();
            control<ClipHandle>("inPointHandle")
                ->move(-16, control<ClipHandle>("inPointHandle")->y());
            holdAndPress(k);
            EXPECT_EQ(onLane(*clip), 250) << c.name;
            EXPECT_EQ(lane(1)->clips.size() + lane(2)->clips.size(), clips) << c.name;
            EXPECT_EQ(mix().selection(), selection) << c.name;
            EXPECT_TRUE(statusText().isEmpty()) << c.name;
            EXPECT_TRUE(mix().document().saved) << c.name;
            EXPECT_EQ(control<ClipHandle>("inPointHandle")->x(), -16) << c.name;
        }
    }
}

TEST_F(KeyCommandTest, AClipSoundingOnlyOnThePreviewIsNotProtected) {
    auto clip = add(lane(1), 200, 100);
    select(lane(1), clip);
    previewDeck().current[0] = clip;
    holdAndPress({Qt::Key_Right});
    EXPECT_EQ(onLane(*clip), 251);
    holdAndPress({Qt::Key_Backspace});
    EXPECT_TRUE(lane(1)->clips.empty());
}

}  // namespace
