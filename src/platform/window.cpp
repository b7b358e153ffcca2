#include "platform/window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>

#include "platform/application.h"
#include "platform/controls.h"
#include "platform/keyboard.h"
#include "platform/menu.h"

namespace platform {

Window::Window() : content_(new QWidget(this)) {
    setCentralWidget(content_);
    content_->setFocusPolicy(Qt::StrongFocus);
    content_->installEventFilter(this);
    setAttribute(Qt::WA_DeleteOnClose, false);
}

Window::~Window() = default;

void Window::construct() {
    if (constructed_) return;
    constructed_ = true;
    Layout();
    CreateControls();
    AddMenuHandlers();
    // Every control exists before any Open handler runs.
    for (auto& [name, obj] : controls_) {
        (void)name;
        if (auto* c = qobject_cast<Control*>(obj)) c->Open();
    }
    Open();
}

void Window::_AddControl(QObject* control) { controls_[control->objectName()] = control; }

QObject* Window::findControl(const QString& name) const {
    auto it = controls_.find(name);
    return it == controls_.end() ? nullptr : it->second;
}

void MenuCommands::_AddMenuHandler(const QString& name, std::function<bool()> handler) {
    menuHandlers_[name.toLower()] = std::move(handler);
}

bool MenuCommands::hasMenuHandler(const QString& name) const {
    return menuHandlers_.count(name.toLower()) > 0;
}

bool MenuCommands::runMenuHandler(const QString& name) {
    auto it = menuHandlers_.find(name.toLower());
    return it != menuHandlers_.end() && it->second();
}

void MenuCommands::showMenuBar(QMainWindow& window, platform::MenuBar* bar) {
    menuBar_ = bar;
    if (bar) window.setMenuBar(bar->build(&window));
}

void Window::Show() {
    show();
    raise();
    activateWindow();
}

void Window::setFrame(int frame, QWidget* owner, bool minimizeButton, bool maximizeButton) {
    Qt::WindowFlags flags = (frame == 7 ? Qt::Tool : Qt::Window) | Qt::CustomizeWindowHint |
                            Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    if (minimizeButton) flags |= Qt::WindowMinimizeButtonHint;
    if (maximizeButton) flags |= Qt::WindowMaximizeButtonHint;
    setParent(owner, flags);
}

int Window::Width() const { return content_->width(); }
int Window::Height() const { return content_->height(); }

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

bool Window::closeGuarded(bool appQuitting) {
    quitting_ = appQuitting;
    bool closed = close();
    quitting_ = false;
    return closed;
}

void Window::userResize(int width) {
    userResizing_ = true;
    setContentSize(width, Height());
    userResizing_ = false;
    Resizing();
}

void Window::closeEvent(QCloseEvent* e) {
    if (CancelClose(quitting_)) {
        e->ignore();
        return;
    }
    e->accept();
}

QString keyText(int key, const QString& typed) {
    switch (key) {
        case Qt::Key_Left:
            return QString(QChar(28));
        case Qt::Key_Right:
            return QString(QChar(29));
        case Qt::Key_Up:
            return QString(QChar(30));
        case Qt::Key_Down:
            return QString(QChar(31));
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return QString(QChar(13));
        case Qt::Key_Backspace:
            return QString(QChar(8));
        case Qt::Key_Delete:
            return QString(QChar(127));
        case Qt::Key_Escape:
            return QString(QChar(27));
        case Qt::Key_Tab:
            return QString(QChar(9));
        default:
            return typed;
    }
}

void Window::keyPressEvent(QKeyEvent* e) {
    if (Keyboard::isModifierKey(e->key()) || !KeyDown(keyText(e->key(), e->text())))
        QMainWindow::keyPressEvent(e);
}

void Window::keyReleaseEvent(QKeyEvent* e) {
    if (!e->isAutoRepeat() && !Keyboard::isModifierKey(e->key()))
        KeyUp(keyText(e->key(), e->text()));
    QMainWindow::keyReleaseEvent(e);
}

bool Window::event(QEvent* e) {
    if (e->type() == QEvent::WindowDeactivate) Deactivate();
    return QMainWindow::event(e);
}

void Window::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    // Only the user's resizes (and the window system's) raise Resizing, never our own.
    if (constructed_ && e->spontaneous()) Resizing();
}

bool Window::eventFilter(QObject* watched, QEvent* e) {
    if (watched != content_) return QMainWindow::eventFilter(watched, e);
    switch (e->type()) {
        case QEvent::MouseButtonPress: {
            auto* m = static_cast<QMouseEvent*>(e);
            if (m->button() != Qt::LeftButton) break;
            content_->setFocus();
            const QPoint p = m->position().toPoint();
            mouseTracking_ = MouseDown(p.x(), p.y());
            return true;
        }
        case QEvent::MouseMove: {
            if (!mouseTracking_) break;
            const QPoint p = static_cast<QMouseEvent*>(e)->position().toPoint();
            MouseDrag(p.x(), p.y());
            return true;
        }
        case QEvent::MouseButtonRelease: {
            if (!mouseTracking_) break;
            mouseTracking_ = false;
            const QPoint p = static_cast<QMouseEvent*>(e)->position().toPoint();
            MouseUp(p.x(), p.y());
            return true;
        }
        default:
            break;
    }
    return QMainWindow::eventFilter(watched, e);
}

}  // namespace platform
