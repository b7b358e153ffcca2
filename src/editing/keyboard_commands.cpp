// The main window's keyboard commands. Each key event asks which command keys are down at this
// moment rather than which key raised it, so a held key acts on every repeat and one event can
// run several commands: Space toggles the preview, Ctrl+L exports, two pairs of keys step the
// system volume, and with a clip selected Backspace deletes it and the arrows nudge it.
#include "editing/keyboard_commands.h"

#include "media/output.h"
#include "model/key_commands.h"
#include "model/selection.h"
#include "platform/keyboard.h"
#include "shell/main_window.h"

namespace Keyboard = platform::Keyboard;
namespace key = editing::key;

namespace editing {

namespace {
KeyCommandServices realServices() {
    return {[](MainWindow& w) { w.exportMovie(); }, [] { return media::systemVolume(); },
            [](double v) { media::setSystemVolume(v); }};
}
}  // namespace

KeyCommandServices& keyCommandServices() {
    static KeyCommandServices services = realServices();
    return services;
}

void resetKeyCommandServices() { keyCommandServices() = realServices(); }

}  // namespace editing

namespace {

// The Space latch (the hidden text spaceLatch): set from the press that toggled the preview until
// Space is let go, so the automatic repeats of a held Space and other keys pressed meanwhile do
// not toggle it again. Any other text, the layout's included, is clear: the first press works.
const QString kSpaceLatched = QStringLiteral("khKH");

void setVolume(MainWindow& w, double volume) {
    editing::keyCommandServices().writeVolume(volume);
    const editing::VolumeBar bar = editing::volumeBar(volume);
    w.volumeMeter->setHeight(bar.height);
    w.volumeMeter->setTop(bar.top);
}

}  // namespace

bool MainWindow::KeyDown(const QString&) {
    if (!Keyboard::AsyncKeyDown(key::kSpace)) {
        spaceLatch->setText(QString());
    } else if (spaceLatch->Text() != kSpaceLatched) {
        preview();
        spaceLatch->setText(kSpaceLatched);
    }

    if (Keyboard::AsyncKeyDown(key::kL) && Keyboard::CommandKey()) {
        editing::keyCommandServices().exportMix(*this);
    }

    // Polled after the export: its dialog may have taken a while.
    const bool up =
        Keyboard::AsyncKeyDown(key::kVolumeUp) || Keyboard::AsyncKeyDown(key::kKeypadPlus);
    const bool down =
        Keyboard::AsyncKeyDown(key::kKeypadMinus) || Keyboard::AsyncKeyDown(key::kVolumeDown);
    if (up || down) {
        double volume = editing::keyCommandServices().readVolume();
        if (up) setVolume(*this, volume = editing::steppedVolume(volume, 1));
        if (down) setVolume(*this, volume = editing::steppedVolume(volume, -1));
    }

    const ClipRef clip = editing::selectedClip(*this);
    if (!clip || editing::soundingOnPlayDeck(*this, clip)) return false;
    if (Keyboard::AsyncKeyDown(key::kDelete)) {
        clear();  // redraws the lane and leaves no selection to nudge
        return false;
    }
    LaneView* lane = this->lane(mix.selectedLane);
    const editing::NudgeKeys keys{Keyboard::AsyncKeyDown(key::kLeft),
                                  Keyboard::AsyncKeyDown(key::kRight), Keyboard::AsyncShiftKey()};
    if (!editing::nudge(lane->clips, *clip, keys)) comment(1, QString());
    lane->refreshAll();
    lane->showHandles();
    return false;
}

void MainWindow::KeyUp(const QString&) {
    if (!Keyboard::AsyncKeyDown(key::kSpace)) spaceLatch->setText(QString());
}

void MainWindow::Deactivate() { spaceLatch->setText(QString()); }
