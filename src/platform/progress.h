#pragma once
// A progress dialog with Cancel for long file work. It appears only when the work has already
// taken longer than a moment, so quick work shows nothing.

#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <functional>

class QProgressDialog;

namespace platform {

class ProgressDialog {
  public:
    // total: the amount of work (bytes, items); delayMs: how long before the dialog appears.
    ProgressDialog(const QString& label, int64_t total, int delayMs = 500);
    ~ProgressDialog();
    ProgressDialog(const ProgressDialog&) = delete;
    ProgressDialog& operator=(const ProgressDialog&) = delete;

    // Shows how far the work is and lets the event loop run: other events always, user input
    // only once the dialog is up (it is modal, so input reaches nothing else). False once the
    // user has pressed Cancel.
    bool step(int64_t done);
    bool shown() const;

  private:
    QString label_;
    int64_t total_;
    int delayMs_;
    QElapsedTimer clock_;
    QPointer<QProgressDialog> dialog_;
    bool cancelled_ = false;
};

// Tests answer in place of the user: called at each step with the work done, true = Cancel.
std::function<bool(int64_t done)>& progressCancelHook();

}  // namespace platform
