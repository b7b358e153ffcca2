#include "platform/window.h"

#include <QMenuBar>

namespace platform {

namespace {
int menuBarHeight(const QMainWindow& window) {
    return window.menuWidget() ? window.menuWidget()->sizeHint().height() : 0;
}
}  // namespace

void setContentSize(QMainWindow& window, int w, int h) {
    window.centralWidget()->resize(w, h);
    window.resize(w, h + menuBarHeight(window));
}

void setContentLimits(QMainWindow& window, int minW, int minH, int maxW, int maxH) {
    window.centralWidget()->setMinimumSize(minW, minH);
    window.centralWidget()->setMaximumSize(maxW, maxH);
    // The main window's own layout would only pass the minimum on; without the maximum the
    // window manager lets the user stretch the window around an empty area.
    const int menuH = menuBarHeight(window);
    window.setMinimumSize(minW, minH + menuH);
    window.setMaximumSize(maxW, maxH + menuH);
}

void setMaximizeButton(QMainWindow& window, bool shown) {
    Qt::WindowFlags flags = Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                            Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;
    if (shown) flags |= Qt::WindowMaximizeButtonHint;
    window.setWindowFlags(flags);
}

}  // namespace platform
