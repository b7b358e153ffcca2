#include "platform/progress.h"

#include <QApplication>
#include <QProgressDialog>

namespace platform {

namespace {

// The bar counts in thousandths: totals beyond an int are common (bytes of a big file).
int permille(int64_t done, int64_t total) {
    if (total <= 0) return 0;
    return static_cast<int>(std::clamp<int64_t>(done * 1000 / total, 0, 1000));
}

}  // namespace

std::function<bool(int64_t)>& progressCancelHook() {
    static std::function<bool(int64_t)> hook;
    return hook;
}

ProgressDialog::ProgressDialog(const QString& label, int64_t total, int delayMs)
    : label_(label), total_(total), delayMs_(delayMs) {
    clock_.start();
}

ProgressDialog::~ProgressDialog() { delete dialog_.data(); }

bool ProgressDialog::shown() const { return dialog_ && dialog_->isVisible(); }

bool ProgressDialog::step(int64_t done) {
    if (cancelled_) return false;
    if (!dialog_ && clock_.elapsed() >= delayMs_ && qobject_cast<QApplication*>(qApp)) {
        dialog_ = new QProgressDialog(label_, QStringLiteral("Cancel"), 0, 1000);
        dialog_->setWindowModality(Qt::ApplicationModal);
        dialog_->setMinimumDuration(0);
        dialog_->setAutoReset(false);
        dialog_->setAutoClose(false);
        dialog_->show();
    }
    if (dialog_) dialog_->setValue(permille(done, total_));
    QCoreApplication::processEvents(shown() ? QEventLoop::AllEvents
                                            : QEventLoop::ExcludeUserInputEvents);
    if (progressCancelHook() && progressCancelHook()(done)) cancelled_ = true;
    if (dialog_ && dialog_->wasCanceled()) cancelled_ = true;
    return !cancelled_;
}

}  // namespace platform
