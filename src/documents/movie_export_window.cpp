// Export of the mix as a movie, the user's side: the file to write, a copy of the lanes, the
// work on its own thread behind a progress dialog, and what the user is told afterwards.
#include "documents/movie_export_window.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QPointer>
#include <QScopeGuard>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <thread>

#include "documents/movie_export.h"
#include "model/mix.h"
#include "platform/dialogs.h"
#include "platform/progress.h"

namespace {

documents::MixSnapshot snapshotOf(const model::Mix& open) {
    documents::MixSnapshot mix;
    mix.zoom = open.pixelsPerSecond();
    for (const int lane : {1, 2}) {
        for (const model::ClipRef& c : open.lane(lane)) {
            if (!c) continue;
            mix.clips.push_back(
                {c->path, c->name, c->inPoint, c->outPoint, c->lengthPx, c->centre, lane});
        }
    }
    return mix;
}

void showExportFailure(const QString& path, const QString& problem) {
    platform::MessageSpec spec;
    spec.icon = QMessageBox::Critical;
    spec.message = QStringLiteral("The movie could not be written.");
    spec.explanation = u'"' + path + QStringLiteral("\": ") + problem +
                       QStringLiteral(" Any earlier version of the file is unchanged.");
    platform::askWithMessage(spec);
}

}  // namespace

namespace documents {

void exportMovie(DocumentHost& host) {
    // The export waits in its own event loop; a second one, or a playlist being read, waits.
    static bool running = false;
    if (running || host.documentBusy) return;
    running = true;
    const auto done = qScopeGuard([] { running = false; });

    QString target =
        platform::chooseFileToSave(QStringLiteral("Export Movie"), QStringLiteral("qtmov.mov"));
    if (target.isEmpty()) return;
    target = QFileInfo(target).absoluteFilePath();

    // The lanes as they are now: the work never touches a clip or a control.
    const MixSnapshot mix = snapshotOf(host.documentMix());
    media::MovieWriteControl control;
    std::atomic<bool> finished{false};
    ExportResult result;
    // Wakes the waiting loop below at once when the work ends.
    QObject waker;
    std::thread worker([&] {
        result = exportMix(mix, target, control);
        finished = true;
        QMetaObject::invokeMethod(
            &waker, [] {}, Qt::QueuedConnection);
    });
    const QPointer<QWidget> alive(host.documentWindow());
    // Closing the window now would pull the lanes away from under an unfinished command.
    host.documentBusy = true;
    {
        constexpr int64_t kSteps = 1000;
        platform::ProgressDialog progress(
            QStringLiteral("Writing \"%1\"\u2026").arg(QFileInfo(target).fileName()), kSteps);
        QTimer heartbeat;  // the bar moves even when nothing else happens
        heartbeat.start(50);
        QEventLoop loop;
        while (!finished.load()) {
            const auto done = static_cast<int64_t>(control.fraction() * kSteps);
            if (!progress.update(done)) control.cancel = true;
            loop.processEvents(progress.eventFlags() | QEventLoop::WaitForMoreEvents);
        }
    }
    worker.join();
    if (!alive) return;
    host.documentBusy = false;

    using Outcome = media::MovieWriteResult::Outcome;
    switch (result.outcome) {
        case Outcome::Written:
            host.statusLine().showMessage(exportedText(QFileInfo(target).fileName(), result));
            break;
        case Outcome::Cancelled:
            host.statusLine().showMessage(
                QStringLiteral("The export was cancelled; no movie was written."));
            break;
        case Outcome::Failed:
            host.statusLine().showMessage(QString());
            showExportFailure(target, result.problem);
            break;
    }
}

}  // namespace documents
