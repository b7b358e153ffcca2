#include "platform/keyboard.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QObject>
#include <set>

namespace platform::Keyboard {

namespace {

std::optional<Qt::KeyboardModifiers> forcedMods;
// The key positions held down now (QKeyCombination::toCombined).
std::set<int>& keysDown() {
    static std::set<int> keys;
    return keys;
}

// The last key let go and when, to know X's automatic repeats by.
struct KeyRelease {
    int code = 0;
    quint64 time = 0;
};
std::optional<KeyRelease> lastRelease;

Qt::KeyboardModifiers mods() {
    if (forcedMods) return *forcedMods;
    return QGuiApplication::queryKeyboardModifiers();
}

// Physical keys as X11 and Wayland number them (Linux input codes + 8), with the key position each
// stands for.
struct ScanKey {
    quint32 scan;
    QKeyCombination position;
};
constexpr ScanKey kScanKeys[] = {
    {38, Qt::Key_A},
    {39, Qt::Key_S},
    {40, Qt::Key_D},
    {41, Qt::Key_F},
    {43, Qt::Key_H},
    {42, Qt::Key_G},
    {52, Qt::Key_Z},
    {53, Qt::Key_X},
    {54, Qt::Key_C},
    {55, Qt::Key_V},
    {56, Qt::Key_B},
    {24, Qt::Key_Q},
    {25, Qt::Key_W},
    {26, Qt::Key_E},
    {27, Qt::Key_R},
    {29, Qt::Key_Y},
    {28, Qt::Key_T},
    {10, Qt::Key_1},
    {11, Qt::Key_2},
    {12, Qt::Key_3},
    {13, Qt::Key_4},
    {15, Qt::Key_6},
    {14, Qt::Key_5},
    {21, Qt::Key_Equal},
    {18, Qt::Key_9},
    {16, Qt::Key_7},
    {20, Qt::Key_Minus},
    {17, Qt::Key_8},
    {19, Qt::Key_0},
    {35, Qt::Key_BracketRight},
    {32, Qt::Key_O},
    {30, Qt::Key_U},
    {34, Qt::Key_BracketLeft},
    {31, Qt::Key_I},
    {33, Qt::Key_P},
    {36, Qt::Key_Return},
    {46, Qt::Key_L},
    {44, Qt::Key_J},
    {48, Qt::Key_Apostrophe},
    {45, Qt::Key_K},
    {47, Qt::Key_Semicolon},
    {51, Qt::Key_Backslash},
    {59, Qt::Key_Comma},
    {61, Qt::Key_Slash},
    {57, Qt::Key_N},
    {58, Qt::Key_M},
    {60, Qt::Key_Period},
    {23, Qt::Key_Tab},
    {65, Qt::Key_Space},
    {49, Qt::Key_QuoteLeft},
    {22, Qt::Key_Backspace},
    {9, Qt::Key_Escape},
    {86, Qt::KeypadModifier | Qt::Key_Plus},
    {82, Qt::KeypadModifier | Qt::Key_Minus},
    {104, Qt::Key_Enter},
    {119, Qt::Key_Delete},
    {110, Qt::Key_Home},
    {115, Qt::Key_End},
    {112, Qt::Key_PageUp},
    {117, Qt::Key_PageDown},
    {113, Qt::Key_Left},
    {114, Qt::Key_Right},
    {116, Qt::Key_Down},
    {111, Qt::Key_Up},
    {67, Qt::Key_F1},
    {68, Qt::Key_F2},
    {69, Qt::Key_F3},
    {70, Qt::Key_F4},
    {71, Qt::Key_F5},
    {72, Qt::Key_F6},
    {73, Qt::Key_F7},
    {74, Qt::Key_F8},
    {75, Qt::Key_F9},
    {76, Qt::Key_F10},
    {95, Qt::Key_F11},
    {96, Qt::Key_F12},
    {123, Qt::Key_VolumeUp},
    {122, Qt::Key_VolumeDown},
    {121, Qt::Key_VolumeMute},
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
                const std::optional<QKeyCombination> position = keyPositionOf(*k);
                if (!position) break;
                const int code = position->toCombined();
                // Repeats change nothing: a key held since before the focus came back (and so
                // forgotten) counts as down only once it is pressed again.
                if (k->isAutoRepeat()) break;
                if (e->type() == QEvent::KeyPress) {
                    keysDown().insert(code);
                } else {
                    keysDown().erase(code);
                    lastRelease = KeyRelease{code, k->timestamp()};
                }
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

bool shiftDown() { return mods() & Qt::ShiftModifier; }
bool ctrlDown() { return mods() & Qt::ControlModifier; }
bool altDown() { return mods() & Qt::AltModifier; }
bool metaDown() { return mods() & Qt::MetaModifier; }

std::optional<QKeyCombination> keyPosition(int qtKey, Qt::KeyboardModifiers mods,
                                           quint32 nativeScanCode, bool scanCodesPhysical) {
    if (scanCodesPhysical && nativeScanCode != 0) {
        for (const ScanKey& k : kScanKeys) {
            if (k.scan == nativeScanCode) return k.position;
        }
        return std::nullopt;
    }
    if ((mods & Qt::KeypadModifier) && (qtKey == Qt::Key_Plus || qtKey == Qt::Key_Minus))
        return Qt::KeypadModifier | Qt::Key(qtKey);
    // Elsewhere the Qt key names the position as on a US layout.
    for (const ScanKey& k : kScanKeys) {
        if (k.position == QKeyCombination(Qt::Key(qtKey))) return k.position;
    }
    return std::nullopt;
}

std::optional<QKeyCombination> keyPositionOf(const QKeyEvent& event) {
    return keyPosition(event.key(), event.modifiers(), event.nativeScanCode(),
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

bool keyDown(QKeyCombination position) { return keysDown().count(position.toCombined()) > 0; }

bool isRepeat(const QKeyEvent& event) {
    if (event.isAutoRepeat()) return true;
    if (event.type() != QEvent::KeyPress || !lastRelease) return false;
    const std::optional<QKeyCombination> position = keyPositionOf(event);
    return position && position->toCombined() == lastRelease->code &&
           event.timestamp() == lastRelease->time;
}

void installTracker() {
    static Tracker* tracker = nullptr;
    if (tracker || !QCoreApplication::instance()) return;
    tracker = new Tracker(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(tracker);
}

void setModifiersForTesting(std::optional<Qt::KeyboardModifiers> m) { forcedMods = m; }

void setKeyDownForTesting(QKeyCombination position, bool down) {
    if (down)
        keysDown().insert(position.toCombined());
    else
        keysDown().erase(position.toCombined());
}

void resetForTesting() {
    forcedMods.reset();
    keysDown().clear();
    lastRelease.reset();
}

}  // namespace platform::Keyboard
