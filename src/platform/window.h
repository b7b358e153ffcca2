#pragma once
// A window of the program: a fixed-layout content area holding named controls, with the
// framework's events (layout, controls, menu handlers, open, resizing, mouse, keys, close guard).

#include <QMainWindow>
#include <QString>
#include <functional>
#include <map>

#include "platform/control.h"

namespace platform {

class MenuBar;

// Sizes of a main window's content area (its central widget). The limits are put on the
// top-level window (content plus menu bar), where the window manager sees them and the user's
// resizing stops.
void setContentSize(QMainWindow& window, int w, int h);
void setContentLimits(QMainWindow& window, int minW, int minH, int maxW, int maxH);
// Whether the title bar offers to maximize the window; close and minimize stay offered.
void setMaximizeButton(QMainWindow& window, bool shown);

// What the application's menu dispatch reaches in a window: its menu handlers by item name, its
// part of the enable pass, and its close guard.
class MenuCommands {
  public:
    virtual ~MenuCommands() = default;

    // Menu handlers by item name, letter case ignored.
    void _AddMenuHandler(const QString& name, std::function<bool()> handler);
    bool hasMenuHandler(const QString& name) const;
    // Runs the handler of that name; false when there is none or it did not consume the command.
    bool runMenuHandler(const QString& name);

    platform::MenuBar* MenuBar() const { return menuBar_; }

    virtual void EnableMenuItems() {}
    // Closes the window through its close guard; false when the guard kept it open.
    virtual bool closeGuarded(bool appQuitting) = 0;

  protected:
    // Shows the menu bar's model in the window.
    void showMenuBar(QMainWindow& window, platform::MenuBar* bar);

  private:
    std::map<QString, std::function<bool()>> menuHandlers_;
    platform::MenuBar* menuBar_ = nullptr;
};

class Window : public QMainWindow, public MenuCommands {
    Q_OBJECT
  public:
    Window();
    ~Window() override;

    // Runs the construction events in order: Layout, CreateControls, AddMenuHandlers, the
    // controls' Open events, then the window's Open.
    void construct();

    // The content area below the menu bar; controls are its children.
    QWidget* content() const { return content_; }

    // Registry of controls by name.
    void _AddControl(QObject* control);
    QObject* findControl(const QString& name) const;
    template <class T>
    T* control(const QString& name) const {
        return qobject_cast<T*>(findControl(name));
    }

    void setMenuBar(platform::MenuBar* bar) { showMenuBar(*this, bar); }

    // Shows the window, or brings it to the front when it is open already.
    void Show();
    // The kind of window: 0 a document window, 7 a floating window that stays in front of its
    // owner. Either way the owner holds it: it goes when the owner goes and never keeps the
    // program running by itself.
    void setFrame(int frame, QWidget* owner, bool minimizeButton, bool maximizeButton);

    QString Title() const { return windowTitle(); }
    void setTitle(const QString& t) { setWindowTitle(t); }
    int Width() const;
    int Height() const;
    void setContentSize(int w, int h) { platform::setContentSize(*this, w, h); }
    void setContentLimits(int minW, int minH, int maxW, int maxH) {
        platform::setContentLimits(*this, minW, minH, maxW, maxH);
    }
    void setMaximizeButton(bool shown) { platform::setMaximizeButton(*this, shown); }

    // Events.
    virtual void Layout() {}
    virtual void CreateControls() {}
    virtual void AddMenuHandlers() {}
    virtual void Open() {}
    virtual void Resizing() {}
    virtual bool MouseDown(int, int) { return false; }
    virtual void MouseDrag(int, int) {}
    virtual void MouseUp(int, int) {}
    // A key press or automatic repeat that reaches the window; modifier keys alone raise none.
    virtual bool KeyDown(const QString&) { return false; }
    // A key let go (not an automatic repeat); modifier keys alone raise none.
    virtual void KeyUp(const QString&) {}
    // The window lost the focus: keys let go from now on are not reported to it.
    virtual void Deactivate() {}
    // True keeps the window open. appQuitting tells whether the whole program is quitting.
    virtual bool CancelClose(bool) { return false; }

    bool closeGuarded(bool appQuitting) override;
    // Resizes the content as the user would, raising Resizing.
    void userResize(int width);

  protected:
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    bool event(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    QWidget* content_;
    std::map<QString, QObject*> controls_;
    bool constructed_ = false;
    bool quitting_ = false;
    bool mouseTracking_ = false;
    bool userResizing_ = false;
};

// The text of a key event as the key handlers expect it: arrows are the characters 28-31,
// Return 13, Backspace 8, Delete 127, otherwise the typed text.
QString keyText(int qtKey, const QString& typed);

}  // namespace platform
