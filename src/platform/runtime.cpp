#include "platform/runtime.h"

#include "platform/dialogs.h"

namespace platform {

namespace {
int failure = 0;
}  // namespace

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

void Runtime::unhandledException(const QString& what) {
    failure = 1;
    if (unhandledHook()) {
        unhandledHook()(what);
        return;
    }
    MessageSpec spec;
    spec.icon = QMessageBox::Critical;
    spec.message = QStringLiteral("An unexpected error occurred. The program will quit.");
    spec.explanation = what;
    spec.actionCaption = QStringLiteral("Quit");
    askWithMessage(spec);
    QCoreApplication::exit(failure);
}

bool Runtime::notify(QObject* receiver, QEvent* event) {
    return runGuarded([&] { return QApplication::notify(receiver, event); });
}

}  // namespace platform
