#pragma once
// The application runtime: the application object with its menu handlers, documents to open,
// the menu enable pass and dispatch, quitting through the windows' close guards, and the last
// resort for exceptions that escape a handler.

#include <QApplication>
#include <QString>
#include <QStringList>
#include <exception>
#include <functional>
#include <map>

namespace platform {

class MenuBar;
class MenuItem;
class MenuCommands;

class Application {
  public:
    Application();
    virtual ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    static Application* instance();

    platform::MenuBar* MenuBar() const { return menuBar_; }
    void setMenuBar(platform::MenuBar* bar);

    void _AddMenuHandler(const QString& name, std::function<bool()> handler);
    bool hasMenuHandler(const QString& name) const;

    // A document the desktop or the command line asks us to open.
    virtual void OpenDocument(const QString&) {}

    // The window whose handlers get the first say: the active one unless it floats, else the
    // main window.
    MenuCommands* frontWindow() const;
    void setMainWindow(MenuCommands* w) { mainWindow_ = w; }
    MenuCommands* mainWindow() const { return mainWindow_; }

    // Disable all, let the front window enable its items, then enable every AutoEnable item
    // that has a handler in the front window or here.
    void enablePass();
    // Front window's handler first; when it is missing or returns false, the application's.
    void dispatch(MenuItem& item);
    // Closes every window through its close guard; quits only when all agreed.
    bool Quit();

  private:
    platform::MenuBar* menuBar_ = nullptr;
    MenuCommands* mainWindow_ = nullptr;
    std::map<QString, std::function<bool()>> handlers_;
};

// QApplication that hands an exception escaping any handler to the last resort: a dialog naming
// the error, then the program ends with a non-zero status.
class Runtime : public QApplication {
  public:
    Runtime(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

    static void RuntimeUnhandledException(const QString& what);
    // Tests replace what the last resort does.
    static std::function<void(const QString&)>& unhandledHook();
    // Status the program exits with after an unhandled exception (0 when none happened).
    static int failureStatus();
};

QString describeException(std::exception_ptr e);

// Runs f; an exception escaping it goes to the last resort instead of further up.
template <class F>
auto runGuarded(F&& f) -> decltype(f()) {
    try {
        return f();
    } catch (...) {
        Runtime::RuntimeUnhandledException(describeException(std::current_exception()));
        return decltype(f())();
    }
}

}  // namespace platform
