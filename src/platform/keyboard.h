#pragma once
// Keyboard polling: which modifiers and keys are down at this moment. Keys are named by position,
// as the Qt key a US layout gives there: where the window system reports which physical key
// moved, a position means the same key on every layout (Qt::Key_BracketRight, "]" on a US
// keyboard, is "+" on a German one). The keypad's + and - carry Qt::KeypadModifier, apart from the
// main block's.

#include <QKeyCombination>
#include <Qt>
#include <optional>

class QKeyEvent;

namespace platform::Keyboard {

bool shiftDown();
bool ctrlDown();
bool altDown();
bool metaDown();
bool keyDown(QKeyCombination position);

// Whether a key event is an automatic repeat of a held key. Qt marks some; X11 sends each repeat
// as a release and a press of the key at the same moment, which Qt often leaves unmarked, so a
// press at the very time of the key's last release is a repeat too.
bool isRepeat(const QKeyEvent& event);

// The position of a key, or none when it names no key we know: from the physical key
// (nativeScanCode) where the window system numbers keys by position (scanCodesPhysical), else
// from the Qt key as a US layout gives it.
std::optional<QKeyCombination> keyPosition(int qtKey, Qt::KeyboardModifiers mods,
                                           quint32 nativeScanCode, bool scanCodesPhysical);
std::optional<QKeyCombination> keyPositionOf(const QKeyEvent& event);

// Shift, Ctrl, Alt, Meta and the lock keys: pressed alone they are no key command.
bool isModifierKey(int qtKey);

// Starts following key presses and releases application-wide (once). A window losing focus
// forgets every key: releases that happen elsewhere never reach us.
void installTracker();

// Tests: force the modifier state and the keys held down; reset() restores live polling.
void setModifiersForTesting(std::optional<Qt::KeyboardModifiers> mods);
void setKeyDownForTesting(QKeyCombination position, bool down);
void resetForTesting();

}  // namespace platform::Keyboard
