#pragma once
// Widget-free rules of the main window's keyboard commands: the volume keys with their bar, and
// the arrow keys that nudge the selected clip along its lane.

#include <QKeyCombination>
#include <vector>

#include "model/clip.h"

namespace model {

enum class KeyCommand { Preview, Export, VolumeUp, VolumeDown, DeleteClip, NudgeLeft, NudgeRight };

struct KeyBinding {
    KeyCommand command;
    QKeyCombination position;  // the key's position, named as on a US layout
};

// The main window's key commands and the keys they are held on. Export also needs Ctrl; with
// Shift a nudge goes 10 pixels further.
inline constexpr KeyBinding kKeyCommands[] = {
    {KeyCommand::Preview, Qt::Key_Space},
    {KeyCommand::Export, Qt::Key_L},
    {KeyCommand::VolumeUp, Qt::Key_BracketRight},  // "+" on a German layout
    {KeyCommand::VolumeUp, Qt::KeypadModifier | Qt::Key_Plus},
    {KeyCommand::VolumeDown, Qt::Key_Slash},  // "-" on a German layout
    {KeyCommand::VolumeDown, Qt::KeypadModifier | Qt::Key_Minus},
    {KeyCommand::DeleteClip, Qt::Key_Backspace},
    {KeyCommand::NudgeLeft, Qt::Key_Left},
    {KeyCommand::NudgeRight, Qt::Key_Right},
};

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
