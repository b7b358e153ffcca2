#include "platform/keyboard.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QObject>
#include <set>

namespace platform::Keyboard {

namespace {

std::optional<Qt::KeyboardModifiers> forcedMods;
std::set<int>& keysDown() {
    static std::set<int> keys;
    return keys;
}

Qt::KeyboardModifiers mods() {
    if (forcedMods) return *forcedMods;
    return QGuiApplication::queryKeyboardModifiers();
}

class Tracker : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::KeyPress) {
            keysDown().insert(static_cast<QKeyEvent*>(e)->key());
        } else if (e->type() == QEvent::KeyRelease) {
            auto* k = static_cast<QKeyEvent*>(e);
            if (!k->isAutoRepeat()) keysDown().erase(k->key());
        } else if (e->type() == QEvent::ApplicationDeactivate) {
            keysDown().clear();  // releases outside the program never reach us
        }
        return false;
    }
};

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

}  // namespace

bool AsyncShiftKey() { return mods() & Qt::ShiftModifier; }
bool AsyncCommandKey() { return mods() & Qt::ControlModifier; }
bool CommandKey() { return AsyncCommandKey(); }
bool AsyncOptionKey() { return mods() & Qt::AltModifier; }
bool AsyncControlKey() { return mods() & Qt::MetaModifier; }

int qtKeyFor(int virtualKeyCode) {
    for (const auto& m : kMap) {
        if (m.code == virtualKeyCode) return m.key;
    }
    return 0;
}

bool AsyncKeyDown(int virtualKeyCode) {
    const int key = qtKeyFor(virtualKeyCode);
    return key != 0 && keysDown().count(key) > 0;
}

void installTracker() {
    static Tracker* tracker = nullptr;
    if (tracker || !QCoreApplication::instance()) return;
    tracker = new Tracker(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(tracker);
}

void setModifiersForTesting(std::optional<Qt::KeyboardModifiers> m) { forcedMods = m; }

void setKeyDownForTesting(int qtKey, bool down) {
    if (down)
        keysDown().insert(qtKey);
    else
        keysDown().erase(qtKey);
}

void resetForTesting() {
    forcedMods.reset();
    keysDown().clear();
}

}  // namespace platform::Keyboard
