#pragma once
// Keyboard polling: which modifiers and keys are down at this moment. Key codes are the classic
// virtual key codes (for example 37 = L, 49 = Space, 123-126 = arrows). They name key positions,
// not characters: where the window system reports which physical key moved, a code means the
// same key on every layout (30, "]" on a US keyboard, is "+" on a German one).

#include <Qt>
#include <optional>

class QKeyEvent;

namespace platform::Keyboard {

bool shiftKeyDown();
bool commandKeyDown();  // Ctrl
bool optionKeyDown();   // Alt
bool controlKeyDown();  // Meta
bool virtualKeyDown(int virtualKeyCode);

// The Qt key for a virtual key code, or 0 when there is none.
int qtKeyFor(int virtualKeyCode);

// The virtual key code of a key, or -1 when it names no key we know: from the physical key
// (nativeScanCode) where the window system numbers keys by position (scanCodesPhysical), else
// from the Qt key as a US layout gives it.
int virtualKeyCode(int qtKey, Qt::KeyboardModifiers mods, quint32 nativeScanCode,
                   bool scanCodesPhysical);
int virtualKeyCodeOf(const QKeyEvent& event);

// Shift, Ctrl, Alt, Meta and the lock keys: pressed alone they are no key command.
bool isModifierKey(int qtKey);

// Starts following key presses and releases application-wide (once). A window losing focus
// forgets every key: releases that happen elsewhere never reach us.
void installTracker();

// Tests: force the modifier state and the keys held down; reset() restores live polling.
void setModifiersForTesting(std::optional<Qt::KeyboardModifiers> mods);
void setKeyDownForTesting(int qtKey, bool down);
void resetForTesting();

}  // namespace platform::Keyboard
