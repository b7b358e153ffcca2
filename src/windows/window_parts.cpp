#include "windows/window_parts.h"

namespace windows {

SmallWindow::SmallWindow(QWidget* owner, Kind kind, const QString& title, Qt::WindowFlags buttons)
    : QWidget(owner, (kind == Kind::Floating ? Qt::Tool : Qt::Window) | Qt::CustomizeWindowHint |
                         Qt::WindowTitleHint | Qt::WindowCloseButtonHint | buttons) {
    setAttribute(Qt::WA_DeleteOnClose, true);
    setWindowTitle(title);
    // The window itself holds the focus when it opens and after a click on its background, so
    // the keys meet no list until the user picks one.
    setFocusPolicy(Qt::StrongFocus);
    setFocus();
}

void SmallWindow::showInFront() {
    show();
    raise();
    activateWindow();
}

}  // namespace windows
