#include "platform/application.h"

#include <QWidget>

#include "platform/dialogs.h"
#include "platform/menu.h"
#include "platform/window.h"

namespace platform {

namespace {
Application* theApp = nullptr;
int failure = 0;
}  // namespace

Application::Application() { theApp = this; }

Application::~Application() {
    if (theApp == this) theApp = nullptr;
}

Application* Application::instance() { return theApp; }

void Application::setMenuBar(platform::MenuBar* bar) {
    menuBar_ = bar;
    if (!bar) return;
    bar->onEnablePass = [this] { enablePass(); };
    bar->onChoose = [this](MenuItem& item) { dispatch(item); };
}

void Application::_AddMenuHandler(const QString& name, std::function<bool()> handler) {
    handlers_[name.toLower()] = std::move(handler);
}

bool Application::hasMenuHandler(const QString& name) const {
    return handlers_.count(name.toLower()) > 0;
}

MenuCommands* Application::frontWindow() const {
    QWidget* active = QApplication::activeWindow();
    auto* w = dynamic_cast<MenuCommands*>(active);
    // Floating windows stand beside the document windows: menu commands go past them.
    if (w && active->windowType() != Qt::Tool) return w;
    return mainWindow_;
}

void Application::enablePass() {
    if (!menuBar_) return;
    menuBar_->forEach([](MenuItem& item) { item.setEnabled(false); });
    MenuCommands* front = frontWindow();
    if (front) front->EnableMenuItems();
    menuBar_->forEach([&](MenuItem& item) {
        if (item.kind() == MenuKind::Quit) {
            item.setEnabled(true);  // quitting is the framework's own command
        } else if (item.AutoEnable &&
                   ((front && front->hasMenuHandler(item.Name)) || hasMenuHandler(item.Name))) {
            item.setEnabled(true);
        }
    });
}

void Application::dispatch(MenuItem& item) {
    if (item.kind() == MenuKind::Quit) {
        Quit();
        return;
    }
    MenuCommands* front = frontWindow();
    if (front && front->runMenuHandler(item.Name)) return;
    auto it = handlers_.find(item.Name.toLower());
    if (it != handlers_.end()) it->second();
}

bool Application::Quit() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* win = dynamic_cast<MenuCommands*>(w);
        if (win && w->isVisible() && !win->closeGuarded(true)) return false;
    }
    QCoreApplication::exit(failure);
    return true;
}

Runtime::Runtime(int& argc, char** argv) : QApplication(argc, argv) {}

std::function<void(const QString&)>& Runtime::unhandledHook() {
    static std::function<void(const QString&)> hook;
    return hook;
}

int Runtime::failureStatus() { return failure; }

QString describeException(std::exception_ptr e) {
    try {
        std::rethrow_exception(e);
    } catch (const std::exception& ex) {
        return QString::fromUtf8(ex.what());
    } catch (...) {
        return QStringLiteral("unknown error");
    }
}

void Runtime::RuntimeUnhandledException(const QString& what) {
    failure = 1;
    if (unhandledHook()) {
        unhandledHook()(what);
        return;
    }
    MessageSpec spec;
    spec.icon = 2;
    spec.message = QStringLiteral("An unexpected error occurred. The program will quit.");
    spec.explanation = what;
    spec.actionCaption = QStringLiteral("Quit");
    MessageDialog(spec);
    QCoreApplication::exit(failure);
}

bool Runtime::notify(QObject* receiver, QEvent* event) {
    return runGuarded([&] { return QApplication::notify(receiver, event); });
}

}  // namespace platform
