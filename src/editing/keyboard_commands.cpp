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

// Whether a key the command is bound to is held now.
bool held(model::KeyCommand command) {
    for (const model::KeyBinding& binding : model::kKeyCommands) {
        if (binding.command == command && Keyboard::keyDown(binding.position)) return true;
    }
    return false;
}

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

void keyPressed(model::Mix& mix, EditHost& host, const KeyControls& controls, bool repeat) {
    if (!held(model::KeyCommand::Preview)) {
        controls.previewLatched = false;
    } else if (repeat) {
        // The preview key is held on: whatever its release just before this repeat said, the
        // press that toggled counts until it is let go for real.
        controls.previewLatched = true;
    } else if (!controls.previewLatched) {
        host.togglePreview();
        controls.previewLatched = true;
    }

    if (!repeat && held(model::KeyCommand::Export) && Keyboard::ctrlDown()) {
        keyCommandServices().exportMix(host);
    }

    // Polled after the export: its dialog may have taken a while.
    const bool up = held(model::KeyCommand::VolumeUp);
    const bool down = held(model::KeyCommand::VolumeDown);
    if (up || down) {
        double volume = keyCommandServices().readVolume();
        if (up) setVolume(controls.volumeMeter, volume = model::steppedVolume(volume, 1));
        if (down) setVolume(controls.volumeMeter, volume = model::steppedVolume(volume, -1));
    }

    const model::ClipRef clip = selectedClip(mix, host);
    if (!clip || host.soundingOnPlayDeck(clip)) return;
    if (held(model::KeyCommand::DeleteClip)) {
        clearSelectedClip(mix, host);  // leaves no selection to nudge
        return;
    }
    const model::NudgeKeys keys{held(model::KeyCommand::NudgeLeft),
                                held(model::KeyCommand::NudgeRight), Keyboard::shiftDown()};
    if (!model::nudge(mix.lane(mix.selection()->lane), *clip, keys, mix.scrollX()))
        host.statusLine().showMessage(kOverlapRefusedText);
    mix.markSelectedClipEdited();
}

void keyReleased(bool& previewLatched) {
    if (!held(model::KeyCommand::Preview)) previewLatched = false;
}

void showVolume(platform::BorderedRectangle& meter, double volume) {
    const model::VolumeBar bar = model::volumeBar(volume);
    meter.setGeometry(meter.x(), bar.top, meter.width(), bar.height);
}

}  // namespace editing
