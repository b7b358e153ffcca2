#pragma once
// A progress dialog with Cancel for long file work. It appears only when the work has already
// taken longer than a moment, so quick work shows nothing.

#include <QElapsedTimer>
#include <QEventLoop>
#include <QPointer>
#include <QString>
#include <cstdint>

class QProgressDialog;

namespace platform {

// How long work runs before its progress dialog appears; tests may shorten it.
int& progressDelayMs();

class ProgressDialog {
  public:
    // total: the amount of work (bytes, items).
    ProgressDialog(const QString& label, int64_t total);
    ~ProgressDialog();
    ProgressDialog(const ProgressDialog&) = delete;
    ProgressDialog& operator=(const ProgressDialog&) = delete;

    // Shows how far the work is once the dialog is due, without running events. False once the
    // user has pressed Cancel.
    bool update(int64_t done);
    // update, then lets the event loop run: other events always, user input only once the
    // dialog is up (it is modal, so input reaches nothing else).
    bool step(int64_t done);
    bool shown() const { return shown_; }
    bool cancelled() const;
    // What a wait for events may run now: user input only while the dialog takes it.
    QEventLoop::ProcessEventsFlags eventFlags() const;

  private:
    QString label_;
    int64_t total_;
    QElapsedTimer clock_;
    QPointer<QProgressDialog> dialog_;
    bool shown_ = false;
    bool cancelled_ = false;
};

}  // namespace platform
