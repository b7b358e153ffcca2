// Key codes name key positions: where the window system reports physical keys, the layout does
// not matter; elsewhere the Qt key stands in as on a US layout.
#include "platform/keyboard.h"

#include <gtest/gtest.h>

namespace {

using platform::Keyboard::virtualKeyCode;

TEST(KeyboardCodes, PhysicalKeysAndTheirFallback) {
    struct Case {
        const char* name;
        int qtKey;
        Qt::KeyboardModifiers mods;
        quint32 scan;
        bool physical;
        int want;
    };
    const Case cases[] = {
        {"US ] by position", Qt::Key_BracketRight, Qt::NoModifier, 35, true, 30},
        {"German + right of Ü", Qt::Key_Plus, Qt::NoModifier, 35, true, 30},
        {"German - right of the period", Qt::Key_Minus, Qt::NoModifier, 61, true, 44},
        {"US /", Qt::Key_Slash, Qt::NoModifier, 61, true, 44},
        {"Shift+] gives }", Qt::Key_BraceRight, Qt::ShiftModifier, 35, true, 30},
        {"keypad plus", Qt::Key_Plus, Qt::KeypadModifier, 86, true, 69},
        {"keypad minus", Qt::Key_Minus, Qt::KeypadModifier, 82, true, 78},
        {"space", Qt::Key_Space, Qt::NoModifier, 65, true, 49},
        {"backspace", Qt::Key_Backspace, Qt::NoModifier, 22, true, 51},
        {"L with Ctrl", Qt::Key_L, Qt::ControlModifier, 46, true, 37},
        {"arrows", Qt::Key_Left, Qt::NoModifier, 113, true, 123},
        {"arrows", Qt::Key_Right, Qt::NoModifier, 114, true, 124},
        {"German Z by position is Y", Qt::Key_Z, Qt::NoModifier, 29, true, 16},
        {"unknown position", Qt::Key_A, Qt::NoModifier, 250, true, -1},
        {"no scan code: the Qt key", Qt::Key_BracketRight, Qt::NoModifier, 0, true, 30},
        {"scan codes not physical", Qt::Key_Slash, Qt::NoModifier, 35, false, 44},
        {"fallback keypad plus", Qt::Key_Plus, Qt::KeypadModifier, 0, false, 69},
        {"fallback keypad minus", Qt::Key_Minus, Qt::KeypadModifier, 0, false, 78},
        {"fallback main minus", Qt::Key_Minus, Qt::NoModifier, 0, false, 27},
        {"fallback unknown", Qt::Key_Shift, Qt::NoModifier, 0, false, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(virtualKeyCode(c.qtKey, c.mods, c.scan, c.physical), c.want) << c.name;
    }
}

TEST(KeyboardCodes, ModifierKeysAlone) {
    for (int key : {Qt::Key_Shift, Qt::Key_Control, Qt::Key_Meta, Qt::Key_Alt, Qt::Key_AltGr,
                    Qt::Key_Super_L, Qt::Key_CapsLock}) {
        EXPECT_TRUE(platform::Keyboard::isModifierKey(key)) << key;
    }
    for (int key : {Qt::Key_Space, Qt::Key_L, Qt::Key_Left, Qt::Key_Backspace, Qt::Key_Plus}) {
        EXPECT_FALSE(platform::Keyboard::isModifierKey(key)) << key;
    }
}

}  // namespace
