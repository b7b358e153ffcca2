#pragma once
// The main window's keyboard commands. Each key event asks which command keys are down at this
// moment rather than which key raised it, so one event can run several commands: Space toggles
// the preview, Ctrl+L exports, two pairs of keys step the system volume, and with a clip selected
// Backspace deletes it and the arrows nudge it. A held volume, arrow or Backspace key acts again
// on every automatic repeat; Space and Ctrl+L act once per press.

#include <functional>

#include "editing/edit_host.h"
#include "model/mix.h"
#include "platform/controls.h"

namespace editing {

// What the keyboard commands reach outside the window: the export of the mix and the system
// volume. Tests put their own in place to count and to keep the machine's volume.
struct KeyCommandServices {
    std::function<void(EditHost&)> exportMix;
    std::function<double()> readVolume;
    std::function<void(double)> writeVolume;
};

// The services in use; reset() puts the real ones back.
KeyCommandServices& keyCommandServices();
void resetKeyCommandServices();

// The window's state the commands keep, and the control that shows the volume.
struct KeyControls {
    // Set by the press that toggled the preview, until its key is let go.
    bool& previewLatched;
    platform::BorderedRectangle& volumeMeter;
};

// A key went down, or repeats while held (`repeat`): runs every command whose keys are down now.
// A repeat toggles nothing and exports nothing; it steps the volume and nudges as a press does.
void keyPressed(model::Mix& mix, EditHost& host, const KeyControls& controls, bool repeat = false);
// A key went up: the preview latch opens once the preview key is let go.
void keyReleased(bool& previewLatched);
// The volume meter rises from the bottom of its column as far as the volume (0..1) reaches.
void showVolume(platform::BorderedRectangle& meter, double volume);

}  // namespace editing
