#pragma once
// The last resort for exceptions that escape a handler.

#include <QApplication>
#include <QString>
#include <exception>
#include <functional>

namespace platform {

// QApplication that hands an exception escaping any handler to the last resort: a dialog naming
// the error, then the program ends with a non-zero status.
class Runtime : public QApplication {
  public:
    Runtime(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

    static void unhandledException(const QString& what);
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
        Runtime::unhandledException(describeException(std::current_exception()));
        return decltype(f())();
    }
}

}  // namespace platform
