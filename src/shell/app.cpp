#include "shell/app.h"

#include <QFileInfo>
#include <memory>

#include "platform/keyboard.h"
#include "shell/filetypes.h"
#include "shell/main_window.h"
#include "shell/menu.h"

namespace {
std::unique_ptr<App> theApp;
}

App::App() = default;

App* App::instance() { return theApp.get(); }

void App::OpenDocument(const QString& path) { MainWindow::instance()->open(path); }

bool App::newChosen() {
    MainWindow::instance()->newDocument();
    return false;
}

bool App::openChosen() {
    MainWindow::instance()->open(QString());
    return false;
}

void _InitFileTypes() { FileTypes::_Initialize(); }

void _NewAppInstance() {
    theApp = std::make_unique<App>();
    theApp->setMenuBar(Menu::instance());
}

void _ApplicationAddMenuHandlers() {
    App* app = App::instance();
    app->_AddMenuHandler("newItem", [app] { return app->newChosen(); });
    app->_AddMenuHandler("openItem", [app] { return app->openChosen(); });
    app->_AddMenuHandler("preferencesItem", [app] { return app->preferencesChosen(); });
    app->_AddMenuHandler("aboutItem", [app] { return app->aboutChosen(); });
    app->_AddMenuHandler("dropPreviewItem", [app] { return app->_ExtrasDropPreview_Action(); });
}

void _MakeDefaultView() { MainWindow::instance()->show(); }

int runProgram(int argc, char** argv) {
    platform::Runtime runtime(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Vontalix"));
    int status = 0;
    try {
        platform::Keyboard::installTracker();
        _InitFileTypes();
        _NewAppInstance();
        _ApplicationAddMenuHandlers();
        _MakeDefaultView();
        // Playlists named on the command line open like documents sent by the desktop.
        const QStringList args = QCoreApplication::arguments().mid(1);
        for (const QString& a : args) {
            if (!a.startsWith('-')) theApp->OpenDocument(QFileInfo(a).absoluteFilePath());
        }
        // Closing the main window (once its guard agreed) ends the program.
        QObject::connect(&runtime, &QGuiApplication::lastWindowClosed, &runtime,
                         [] { QCoreApplication::exit(platform::Runtime::failureStatus()); });
        status = runtime.exec();
    } catch (...) {
        platform::Runtime::RuntimeUnhandledException(
            platform::describeException(std::current_exception()));
    }
    theApp.reset();
    return status != 0 ? status : platform::Runtime::failureStatus();
}
