#pragma once
// Keyboard polling: which modifiers and keys are down at this moment. Key codes are the classic
// virtual key codes (for example 37 = L, 49 = Space, 123-126 = arrows), mapped to Qt keys here.

#include <Qt>
#include <optional>

namespace platform::Keyboard {

bool AsyncShiftKey();
bool AsyncCommandKey();  // Ctrl
bool CommandKey();
bool AsyncOptionKey();   // Alt
bool AsyncControlKey();  // Meta
bool AsyncKeyDown(int virtualKeyCode);

// The Qt key for a virtual key code, or 0 when there is none.
int qtKeyFor(int virtualKeyCode);

// Starts following key presses and releases application-wide (once).
void installTracker();

// Tests: force the modifier state and the keys held down; reset() restores live polling.
void setModifiersForTesting(std::optional<Qt::KeyboardModifiers> mods);
void setKeyDownForTesting(int qtKey, bool down);
void resetForTesting();

}  // namespace platform::Keyboard
