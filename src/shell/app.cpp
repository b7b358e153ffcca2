#include "shell/app.h"

#include <QFileInfo>

#include "platform/filetypes.h"
#include "platform/keyboard.h"
#include "platform/runtime.h"
#include "shell/main_window.h"

bool quitProgram() {
    // Only the main window guards its closing (the mix may be unsaved); the small windows go
    // with it.
    MainWindow* window = MainWindow::existing();
    if (window && window->isVisible() && !window->close()) return false;
    QCoreApplication::exit(platform::Runtime::failureStatus());
    return true;
}

int runProgram(int argc, char** argv) {
    platform::Runtime runtime(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Vontalix"));
    int status = 0;
    try {
        platform::Keyboard::installTracker();
        platform::registerFileTypes();
        MainWindow::instance()->show();
        // Playlists named on the command line open like documents sent by the desktop.
        const QStringList args = QCoreApplication::arguments().mid(1);
        for (const QString& a : args) {
            if (!a.startsWith('-'))
                MainWindow::instance()->openDocument(QFileInfo(a).absoluteFilePath());
        }
        // Closing the main window (once its guard agreed) ends the program.
        QObject::connect(&runtime, &QGuiApplication::lastWindowClosed, &runtime,
                         [] { QCoreApplication::exit(platform::Runtime::failureStatus()); });
        status = runtime.exec();
    } catch (...) {
        platform::Runtime::unhandledException(
            platform::describeException(std::current_exception()));
    }
    return status != 0 ? status : platform::Runtime::failureStatus();
}
