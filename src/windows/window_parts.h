#pragma once
// What the auxiliary windows share in building themselves.

#include <QPointer>
#include <utility>

#include "platform/controls.h"
#include "platform/window.h"

namespace windows {

// The open window kept in slot, or a new one built now from args (closing it destroys it).
template <class W, class... Args>
W* openOrBuild(QPointer<W>& slot, Args&&... args) {
    if (!slot) {
        slot = new W(std::forward<Args>(args)...);
        slot->setAttribute(Qt::WA_DeleteOnClose, true);
        slot->construct();
    }
    return slot;
}

// A control of the window at its place, registered by name.
template <class T>
T* place(platform::Window* w, T* c, int left, int top, int width, int height) {
    c->setBounds(left, top, width, height);
    w->_AddControl(c);
    return c;
}

// A black one-line static text in the layout's text size.
inline platform::StaticText* label(platform::Window* w, const char* name, int left, int top,
                                   int width, int height, const QString& text, int size) {
    auto* t = new platform::StaticText(w->content());
    t->setObjectName(QString::fromLatin1(name));
    t->setGeometry(left, top, width, height);
    w->_AddControl(t);
    t->setText(text);
    t->setTextColor(Qt::black);
    t->setTextSize(size);
    return t;
}

// Window sizes: the content's size, and the limits of a window the user may resize.
inline constexpr int kMinSize = 64, kMaxSize = 32000;

}  // namespace windows
