#include "platform/control.h"

#include "platform/window.h"

namespace platform {

QFont controlFont(int size, bool bold) {
    QFont f;
    f.setPixelSize(size > 0 ? size + 2 : 11);  // the layout's text sizes read small on Linux
    f.setBold(bold);
    return f;
}

Control::Control(QWidget* parent, const QString& name) : QWidget(parent) {
    setObjectName(name);
    setFocusPolicy(Qt::NoFocus);
}

void Control::setBounds(int left, int top, int w, int h) {
    setGeometry(left, top, w < 0 ? 0 : w, h < 0 ? 0 : h);
}

void Control::setPassive(bool passive) { setAttribute(Qt::WA_TransparentForMouseEvents, passive); }

Window* Control::window_() const {
    for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
        if (auto* win = qobject_cast<Window*>(w)) return win;
    }
    return nullptr;
}

}  // namespace platform
