// Keys are named by position: where the window system reports physical keys, the layout does not
// matter; elsewhere the Qt key stands in as on a US layout.
#include "platform/keyboard.h"

#include <gtest/gtest.h>

namespace {

using platform::Keyboard::keyPosition;

TEST(KeyPositions, PhysicalKeysAndTheirFallback) {
    struct Case {
        const char* name;
        int qtKey;
        Qt::KeyboardModifiers mods;
        quint32 scan;
        bool physical;
        std::optional<QKeyCombination> want;
    };
    const QKeyCombination keypadPlus = Qt::KeypadModifier | Qt::Key_Plus,
                          keypadMinus = Qt::KeypadModifier | Qt::Key_Minus;
    const Case cases[] = {
        {"US ] by position", Qt::Key_BracketRight, Qt::NoModifier, 35, true, Qt::Key_BracketRight},
        {"German + right of Ü", Qt::Key_Plus, Qt::NoModifier, 35, true, Qt::Key_BracketRight},
        {"German - right of the period", Qt::Key_Minus, Qt::NoModifier, 61, true, Qt::Key_Slash},
        {"US /", Qt::Key_Slash, Qt::NoModifier, 61, true, Qt::Key_Slash},
        {"Shift+] gives }", Qt::Key_BraceRight, Qt::ShiftModifier, 35, true, Qt::Key_BracketRight},
        {"keypad plus", Qt::Key_Plus, Qt::KeypadModifier, 86, true, keypadPlus},
        {"keypad minus", Qt::Key_Minus, Qt::KeypadModifier, 82, true, keypadMinus},
        {"space", Qt::Key_Space, Qt::NoModifier, 65, true, Qt::Key_Space},
        {"backspace", Qt::Key_Backspace, Qt::NoModifier, 22, true, Qt::Key_Backspace},
        {"L with Ctrl", Qt::Key_L, Qt::ControlModifier, 46, true, Qt::Key_L},
        {"arrows", Qt::Key_Left, Qt::NoModifier, 113, true, Qt::Key_Left},
        {"arrows", Qt::Key_Right, Qt::NoModifier, 114, true, Qt::Key_Right},
        {"German Z by position is Y", Qt::Key_Z, Qt::NoModifier, 29, true, Qt::Key_Y},
        {"unknown position", Qt::Key_A, Qt::NoModifier, 250, true, std::nullopt},
        {"no scan code: the Qt key", Qt::Key_BracketRight, Qt::NoModifier, 0, true,
         Qt::Key_BracketRight},
        {"scan codes not physical", Qt::Key_Slash, Qt::NoModifier, 35, false, Qt::Key_Slash},
        {"fallback keypad plus", Qt::Key_Plus, Qt::KeypadModifier, 0, false, keypadPlus},
        {"fallback keypad minus", Qt::Key_Minus, Qt::KeypadModifier, 0, false, keypadMinus},
        {"fallback main minus", Qt::Key_Minus, Qt::NoModifier, 0, false, Qt::Key_Minus},
        {"fallback unknown", Qt::Key_Shift, Qt::NoModifier, 0, false, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(keyPosition(c.qtKey, c.mods, c.scan, c.physical), c.want) << c.name;
    }
}

TEST(KeyPositions, ModifierKeysAlone) {
    for (int key : {Qt::Key_Shift, Qt::Key_Control, Qt::Key_Meta, Qt::Key_Alt, Qt::Key_AltGr,
                    Qt::Key_Super_L, Qt::Key_CapsLock}) {
        EXPECT_TRUE(platform::Keyboard::isModifierKey(key)) << key;
    }
    for (int key : {Qt::Key_Space, Qt::Key_L, Qt::Key_Left, Qt::Key_Backspace, Qt::Key_Plus}) {
        EXPECT_FALSE(platform::Keyboard::isModifierKey(key)) << key;
    }
}

}  // namespace
