#pragma once
// Widget-free rules of the main window's keyboard commands: the volume keys with their bar, and
// the arrow keys that nudge the selected clip along its lane.

#include <vector>

#include "model/clip.h"

namespace model {

// Key positions of the commands (virtual key codes, see platform/keyboard.h).
namespace key {
constexpr int kSpace = 49;        // preview on/off
constexpr int kL = 37;            // with Ctrl: export the mix
constexpr int kVolumeUp = 30;     // "]" on a US layout, "+" on a German one
constexpr int kKeypadPlus = 69;   // volume up
constexpr int kKeypadMinus = 78;  // volume down
constexpr int kVolumeDown = 44;   // "/" on a US layout, "-" on a German one
constexpr int kDelete = 51;       // the backspace key
constexpr int kLeft = 123;
constexpr int kRight = 124;
}  // namespace key

// The system volume after `steps` steps of 0.1 (negative lowers it), kept within 0..1.
double steppedVolume(double volume, int steps);

struct VolumeBar {
    int height = 0;
    int top = 0;
    bool operator==(const VolumeBar&) const = default;
};
// The volume bar for a volume: 14 pixels high at full volume, its bottom edge at y 178.
VolumeBar volumeBar(double volume);

struct NudgeKeys {
    bool left = false;
    bool right = false;
    bool shift = false;
};

// Moves the clip along its lane as the arrow keys held ask: 1 pixel per arrow, and with Shift a
// further 10. Each step tests only the clip's new edge in the direction of travel against the
// lane's other clips; a step whose edge would fall inside one is left out and the later steps
// still run; the clip's left edge stops at the start of the timeline. False when any step was
// left out. The lane is scrolled by scrollX.
bool nudge(const std::vector<ClipRef>& lane, Clip& clip, NudgeKeys keys, double scrollX);

}  // namespace model
