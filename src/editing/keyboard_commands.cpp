#include "editing/keyboard_commands.h"

#include "editing/clipboard.h"
#include "editing/selection.h"
#include "media/output.h"
#include "model/key_commands.h"
#include "platform/keyboard.h"

namespace Keyboard = platform::Keyboard;

namespace editing {

namespace {

KeyCommandServices realServices() {
    return {[](EditHost& host) { host.exportMix(); }, [] { return media::systemVolume(); },
            [](double v) { media::setSystemVolume(v); }};
}

// The Space latch's text while latched. Any other text, the layout's included, is clear: the
// first press works.
const QString kSpaceLatched = QStringLiteral("khKH");

void setVolume(platform::BorderedRectangle& meter, double volume) {
    keyCommandServices().writeVolume(volume);
    showVolume(meter, volume);
}

}  // namespace

KeyCommandServices& keyCommandServices() {
    static KeyCommandServices services = realServices();
    return services;
}

void resetKeyCommandServices() { keyCommandServices() = realServices(); }

void keyPressed(model::Mix& mix, EditHost& host, const KeyControls& controls) {
    if (!Keyboard::virtualKeyDown(model::key::kSpace)) {
        controls.spaceLatch.setText(QString());
    } else if (controls.spaceLatch.text() != kSpaceLatched) {
        host.togglePreview();
        controls.spaceLatch.setText(kSpaceLatched);
    }

    if (Keyboard::virtualKeyDown(model::key::kL) && Keyboard::commandKeyDown()) {
        keyCommandServices().exportMix(host);
    }

    // Polled after the export: its dialog may have taken a while.
    const bool up = Keyboard::virtualKeyDown(model::key::kVolumeUp) ||
                    Keyboard::virtualKeyDown(model::key::kKeypadPlus);
    const bool down = Keyboard::virtualKeyDown(model::key::kKeypadMinus) ||
                      Keyboard::virtualKeyDown(model::key::kVolumeDown);
    if (up || down) {
        double volume = keyCommandServices().readVolume();
        if (up) setVolume(controls.volumeMeter, volume = model::steppedVolume(volume, 1));
        if (down) setVolume(controls.volumeMeter, volume = model::steppedVolume(volume, -1));
    }

    const model::ClipRef clip = selectedClip(mix, host);
    if (!clip || host.soundingOnPlayDeck(clip)) return;
    if (Keyboard::virtualKeyDown(model::key::kDelete)) {
        clearSelectedClip(mix, host);  // leaves no selection to nudge
        return;
    }
    const model::NudgeKeys keys{Keyboard::virtualKeyDown(model::key::kLeft),
                                Keyboard::virtualKeyDown(model::key::kRight),
                                Keyboard::shiftKeyDown()};
    if (!model::nudge(mix.lane(mix.selection->lane), *clip, keys, mix.scrollX))
        host.setStatusText(kOverlapRefusedText);
    mix.markSelectedClipEdited();
}

void keyReleased(platform::StaticText& spaceLatch) {
    if (!Keyboard::virtualKeyDown(model::key::kSpace)) spaceLatch.setText(QString());
}

void focusLost(platform::StaticText& spaceLatch) { spaceLatch.setText(QString()); }

void showVolume(platform::BorderedRectangle& meter, double volume) {
    const model::VolumeBar bar = model::volumeBar(volume);
    meter.setGeometry(meter.x(), bar.top, meter.width(), bar.height);
}

}  // namespace editing
