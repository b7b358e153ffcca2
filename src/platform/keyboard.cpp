#include "platform/keyboard.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QObject>
#include <set>

namespace platform::Keyboard {

namespace {

std::optional<Qt::KeyboardModifiers> forcedMods;
// The virtual key codes held down now.
std::set<int>& keysDown() {
    static std::set<int> keys;
    return keys;
}

Qt::KeyboardModifiers mods() {
    if (forcedMods) return *forcedMods;
    return QGuiApplication::queryKeyboardModifiers();
}

struct Mapping {
    int code;
    int key;
};

constexpr Mapping kMap[] = {
    {0, Qt::Key_A},           {1, Qt::Key_S},          {2, Qt::Key_D},
    {3, Qt::Key_F},           {4, Qt::Key_H},          {5, Qt::Key_G},
    {6, Qt::Key_Z},           {7, Qt::Key_X},          {8, Qt::Key_C},
    {9, Qt::Key_V},           {11, Qt::Key_B},         {12, Qt::Key_Q},
    {13, Qt::Key_W},          {14, Qt::Key_E},         {15, Qt::Key_R},
    {16, Qt::Key_Y},          {17, Qt::Key_T},         {18, Qt::Key_1},
    {19, Qt::Key_2},          {20, Qt::Key_3},         {21, Qt::Key_4},
    {22, Qt::Key_6},          {23, Qt::Key_5},         {24, Qt::Key_Equal},
    {25, Qt::Key_9},          {26, Qt::Key_7},         {27, Qt::Key_Minus},
    {28, Qt::Key_8},          {29, Qt::Key_0},         {30, Qt::Key_BracketRight},
    {31, Qt::Key_O},          {32, Qt::Key_U},         {33, Qt::Key_BracketLeft},
    {34, Qt::Key_I},          {35, Qt::Key_P},         {36, Qt::Key_Return},
    {37, Qt::Key_L},          {38, Qt::Key_J},         {39, Qt::Key_Apostrophe},
    {40, Qt::Key_K},          {41, Qt::Key_Semicolon}, {42, Qt::Key_Backslash},
    {43, Qt::Key_Comma},      {44, Qt::Key_Slash},     {45, Qt::Key_N},
    {46, Qt::Key_M},          {47, Qt::Key_Period},    {48, Qt::Key_Tab},
    {49, Qt::Key_Space},      {51, Qt::Key_Backspace}, {53, Qt::Key_Escape},
    {76, Qt::Key_Enter},      {117, Qt::Key_Delete},   {115, Qt::Key_Home},
    {119, Qt::Key_End},       {116, Qt::Key_PageUp},   {121, Qt::Key_PageDown},
    {123, Qt::Key_Left},      {124, Qt::Key_Right},    {125, Qt::Key_Down},
    {126, Qt::Key_Up},        {122, Qt::Key_F1},       {120, Qt::Key_F2},
    {99, Qt::Key_F3},         {118, Qt::Key_F4},       {96, Qt::Key_F5},
    {97, Qt::Key_F6},         {98, Qt::Key_F7},        {100, Qt::Key_F8},
    {101, Qt::Key_F9},        {109, Qt::Key_F10},      {103, Qt::Key_F11},
    {111, Qt::Key_F12},       {72, Qt::Key_VolumeUp},  {73, Qt::Key_VolumeDown},
    {74, Qt::Key_VolumeMute},
};

// Keypad keys give the same Qt keys as their main-block twins; the keypad flag tells them apart.
constexpr Mapping kKeypadMap[] = {{69, Qt::Key_Plus}, {78, Qt::Key_Minus}, {76, Qt::Key_Enter}};

// Physical keys as X11 and Wayland number them (Linux input codes + 8), by virtual key code.
constexpr Mapping kScanMap[] = {
    {0, 38},    {1, 39},    {2, 40},    {3, 41},    {4, 43},    {5, 42},    {6, 52},    {7, 53},
    {8, 54},    {9, 55},    {11, 56},   {12, 24},   {13, 25},   {14, 26},   {15, 27},   {16, 29},
    {17, 28},   {18, 10},   {19, 11},   {20, 12},   {21, 13},   {22, 15},   {23, 14},   {24, 21},
    {25, 18},   {26, 16},   {27, 20},   {28, 17},   {29, 19},   {30, 35},   {31, 32},   {32, 30},
    {33, 34},   {34, 31},   {35, 33},   {36, 36},   {37, 46},   {38, 44},   {39, 48},   {40, 45},
    {41, 47},   {42, 51},   {43, 59},   {44, 61},   {45, 57},   {46, 58},   {47, 60},   {48, 23},
    {49, 65},   {50, 49},   {51, 22},   {53, 9},    {69, 86},   {78, 82},   {76, 104},  {117, 119},
    {115, 110}, {119, 115}, {116, 112}, {121, 117}, {123, 113}, {124, 114}, {125, 116}, {126, 111},
    {122, 67},  {120, 68},  {99, 69},   {118, 70},  {96, 71},   {97, 72},   {98, 73},   {100, 74},
    {101, 75},  {109, 76},  {103, 95},  {111, 96},  {72, 123},  {73, 122},  {74, 121},
};

bool scanCodesArePhysical() {
    static const bool physical =
        QGuiApplication::platformName() == QLatin1String("xcb") ||
        QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    return physical;
}

class Tracker : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject*, QEvent* e) override {
        switch (e->type()) {
            case QEvent::KeyPress:
            case QEvent::KeyRelease: {
                auto* k = static_cast<QKeyEvent*>(e);
                const int code = virtualKeyCodeOf(*k);
                if (code < 0) break;
                // Repeats change nothing: a key held since before the focus came back (and so
                // forgotten) counts as down only once it is pressed again.
                if (k->isAutoRepeat()) break;
                if (e->type() == QEvent::KeyPress)
                    keysDown().insert(code);
                else
                    keysDown().erase(code);
                break;
            }
            case QEvent::WindowDeactivate:
            case QEvent::ApplicationDeactivate:
                // Keys let go while another window has the focus are never reported to us.
                keysDown().clear();
                break;
            default:
                break;
        }
        return false;
    }
};

}  // namespace

bool shiftKeyDown() { return mods() & Qt::ShiftModifier; }
bool commandKeyDown() { return mods() & Qt::ControlModifier; }
bool optionKeyDown() { return mods() & Qt::AltModifier; }
bool controlKeyDown() { return mods() & Qt::MetaModifier; }

int qtKeyFor(int virtualKeyCode) {
    for (const auto& m : kMap) {
        if (m.code == virtualKeyCode) return m.key;
    }
    return 0;
}

int virtualKeyCode(int qtKey, Qt::KeyboardModifiers mods, quint32 nativeScanCode,
                   bool scanCodesPhysical) {
    if (scanCodesPhysical && nativeScanCode != 0) {
        for (const auto& m : kScanMap) {
            if (m.key == static_cast<int>(nativeScanCode)) return m.code;
        }
        return -1;
    }
    if (mods & Qt::KeypadModifier) {
        for (const auto& m : kKeypadMap) {
            if (m.key == qtKey) return m.code;
        }
    }
    for (const auto& m : kMap) {
        if (m.key == qtKey) return m.code;
    }
    return -1;
}

int virtualKeyCodeOf(const QKeyEvent& event) {
    return virtualKeyCode(event.key(), event.modifiers(), event.nativeScanCode(),
                          scanCodesArePhysical());
}

bool isModifierKey(int qtKey) {
    switch (qtKey) {
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Meta:
        case Qt::Key_Alt:
        case Qt::Key_AltGr:
        case Qt::Key_Super_L:
        case Qt::Key_Super_R:
        case Qt::Key_Hyper_L:
        case Qt::Key_Hyper_R:
        case Qt::Key_Mode_switch:
        case Qt::Key_CapsLock:
        case Qt::Key_NumLock:
        case Qt::Key_ScrollLock:
            return true;
        default:
            return false;
    }
}

bool virtualKeyDown(int virtualKeyCode) { return keysDown().count(virtualKeyCode) > 0; }

void installTracker() {
    static Tracker* tracker = nullptr;
    if (tracker || !QCoreApplication::instance()) return;
    tracker = new Tracker(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(tracker);
}

void setModifiersForTesting(std::optional<Qt::KeyboardModifiers> m) { forcedMods = m; }

void setKeyDownForTesting(int qtKey, bool down) {
    for (const auto& m : kMap) {
        if (m.key != qtKey) continue;
        if (down)
            keysDown().insert(m.code);
        else
            keysDown().erase(m.code);
    }
}

void resetForTesting() {
    forcedMods.reset();
    keysDown().clear();
}

}  // namespace platform::Keyboard
