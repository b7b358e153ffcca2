#pragma once
// Waiting for work that runs on another thread, with a progress dialog and its Cancel button.
// The event loop keeps running meanwhile (timers, repaints), but input to the parent window
// waits until the work has ended.

#include <QString>
#include <functional>

class QWidget;

namespace platform {

struct ProgressWork {
    std::function<double()> fraction;  // 0..1, read on the UI thread
    std::function<bool()> finished;    // true once the work has ended, however it ended
    std::function<void()> cancel;      // asks the work to stop; it still has to finish
};

// Tests watch the dialog through this instead of clicking it: called on every update with the
// fraction shown; returning true is a click on Cancel.
struct ProgressHooks {
    std::function<bool(double fraction)> update;
};
ProgressHooks& progressHooks();

// Shows a window-modal progress dialog over parent and returns once work.finished() is true.
// Returns true when the user cancelled.
bool RunWithProgress(QWidget* parent, const QString& caption, const QString& label,
                     const ProgressWork& work);

}  // namespace platform
