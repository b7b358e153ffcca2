#pragma once
// What the auxiliary windows share in building themselves.

#include <QPointer>
#include <QWidget>
#include <utility>

#include "platform/controls.h"

namespace windows {

// A small window of the program. The owner window holds it: it goes when the owner goes and
// never keeps the program running by itself; closing it destroys it.
class SmallWindow : public QWidget {
    Q_OBJECT
  public:
    // Shows the window, or brings it to the front when it is open already.
    void showInFront();

  protected:
    enum class Kind { Document, Floating };  // floating: stays in front of its owner
    SmallWindow(QWidget* owner, Kind kind, const QString& title, Qt::WindowFlags buttons);
};

// The open window kept in slot, or a new one built now from args.
template <class W, class... Args>
W* openOrBuild(QPointer<W>& slot, Args&&... args) {
    if (!slot) slot = new W(std::forward<Args>(args)...);
    return slot;
}

// Window sizes: the content's size, and the limits of a window the user may resize.
inline constexpr int kMinSize = 64, kMaxSize = 32000;

}  // namespace windows
