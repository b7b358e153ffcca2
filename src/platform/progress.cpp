#include "platform/progress.h"

#include <QEventLoop>
#include <QPointer>
#include <QProgressDialog>
#include <QScopeGuard>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace platform {

ProgressHooks& progressHooks() {
    static ProgressHooks hooks;
    return hooks;
}

bool RunWithProgress(QWidget* parent, const QString& caption, const QString& label,
                     const ProgressWork& work) {
    constexpr int kSteps = 1000;
    QPointer<QProgressDialog> dialog =
        new QProgressDialog(label, QStringLiteral("Cancel"), 0, kSteps, parent);
    dialog->setWindowTitle(caption);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setAutoClose(false);
    dialog->setAutoReset(false);
    dialog->setMinimumDuration(0);
    dialog->setValue(0);

    bool cancelled = false;
    auto cancel = [&] {
        if (cancelled) return;
        cancelled = true;
        work.cancel();
        if (dialog) dialog->setLabelText(QStringLiteral("Cancelling…"));
    };
    QObject::connect(dialog, &QProgressDialog::canceled, dialog, cancel);

    QEventLoop loop;
    QTimer poll;
    poll.setInterval(30);
    bool updating = false;  // a modal dialog's setValue runs the event loop: no re-entry
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (updating) return;
        updating = true;
        const auto done = qScopeGuard([&] { updating = false; });
        if (work.finished()) {
            loop.quit();
            return;
        }
        const double f = std::clamp(work.fraction(), 0.0, 1.0);
        if (dialog && !cancelled) dialog->setValue(static_cast<int>(std::lround(f * kSteps)));
        if (progressHooks().update && progressHooks().update(f)) cancel();
        // A dialog closed from outside (its window went away) is a cancel too.
        if (!dialog) cancel();
    });
    poll.start();
    if (!work.finished()) loop.exec();
    delete dialog.data();
    return cancelled;
}

}  // namespace platform
