#include "platform/progress.h"

#include <QApplication>
#include <QProgressDialog>
#include <algorithm>

#include "platform/dialogs.h"

namespace platform {

namespace {

// The bar counts in thousandths: totals beyond an int are common (bytes of a big file).
int permille(int64_t done, int64_t total) {
    if (total <= 0) return 0;
    return static_cast<int>(std::clamp<int64_t>(done * 1000 / total, 0, 1000));
}

}  // namespace

int& progressDelayMs() {
    static int delay = 500;
    return delay;
}

ProgressDialog::ProgressDialog(const QString& label, int64_t total) : label_(label), total_(total) {
    clock_.start();
}

ProgressDialog::~ProgressDialog() { delete dialog_.data(); }

bool ProgressDialog::cancelled() const { return cancelled_ || (dialog_ && dialog_->wasCanceled()); }

QEventLoop::ProcessEventsFlags ProgressDialog::eventFlags() const {
    return shown_ && dialog_ ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents;
}

bool ProgressDialog::update(int64_t done) {
    if (cancelled()) return false;
    if (!shown_ && clock_.elapsed() < progressDelayMs()) return true;
    shown_ = true;
    // Tests answer in place of the user: true is Cancel.
    if (dialogHooks().progress) {
        if (dialogHooks().progress(label_, static_cast<int>(std::min<int64_t>(done, INT32_MAX)),
                                   static_cast<int>(std::min<int64_t>(total_, INT32_MAX))))
            cancelled_ = true;
        return !cancelled_;
    }
    if (!dialog_ && qobject_cast<QApplication*>(qApp)) {
        dialog_ = new QProgressDialog(label_, QStringLiteral("Cancel"), 0, 1000);
        dialog_->setWindowModality(Qt::ApplicationModal);
        dialog_->setMinimumDuration(0);
        dialog_->setAutoReset(false);
        dialog_->setAutoClose(false);
        dialog_->show();
    }
    if (dialog_) dialog_->setValue(permille(done, total_));
    return !cancelled();
}

bool ProgressDialog::step(int64_t done) {
    if (!update(done)) return false;
    QCoreApplication::processEvents(eventFlags());
    return !cancelled();
}

}  // namespace platform
