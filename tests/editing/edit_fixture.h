#pragma once
// A main window with clips to edit, its keyboard commands' outside services replaced: the export
// is counted and the system volume is a number kept here, so no test touches the machine's sound.

#include <QApplication>
#include <QKeyEvent>
#include <vector>

#include "editing/keyboard_commands.h"
#include "platform/keyboard.h"
#include "support/app_fixture.h"

namespace testsupport {

class EditFixture : public AppFixture {
  public:
    void SetUp() override {
        AppFixture::SetUp();
        platform::Keyboard::installTracker();
        auto& s = editing::keyCommandServices();
        s.exportMix = [this](editing::EditHost&) { log.push_back("export"); };
        s.readVolume = [this] { return volume; };
        s.writeVolume = [this](double v) {
            volume = v;
            written.push_back(v);
            log.push_back("volume");
        };
    }
    void TearDown() override {
        editing::resetKeyCommandServices();
        AppFixture::TearDown();
    }

    // An ordinary click on the clip: its handles show and it becomes the selection.
    void select(LaneView* lane, const model::ClipRef& clip) {
        platform::Keyboard::resetForTesting();  // no Shift left over from a key test
        ASSERT_TRUE(lane->pressAt(onLane(*clip), 16));
        lane->releaseAt(onLane(*clip), 16);
    }
    // A key event as the window system delivers it, through the keyboard tracker: at a moment of
    // its own, unless `time` is given.
    void key(QEvent::Type type, int qtKey, bool autoRepeat = false,
             Qt::KeyboardModifiers mods = Qt::NoModifier, quint64 time = 0) {
        QKeyEvent e(type, qtKey, mods, QString(), autoRepeat);
        e.setTimestamp(time != 0 ? time : ++keyClock);
        QApplication::sendEvent(w->centralWidget(), &e);
    }
    // One key event while exactly these keys are held (Qt keys) with these modifiers.
    void holdAndPress(std::initializer_list<int> qtKeys,
                      Qt::KeyboardModifiers mods = Qt::NoModifier) {
        platform::Keyboard::resetForTesting();
        platform::Keyboard::setModifiersForTesting(mods);
        for (int k : qtKeys) platform::Keyboard::setKeyDownForTesting(Qt::Key(k), true);
        edits().keyPressed();
    }

    quint64 keyClock = 0;
    double volume = 0.5;
    std::vector<double> written;
    std::vector<std::string> log;
};

}  // namespace testsupport
