// The folder drop target: a folder dropped on it adds its MP3 files to the mix, laid out as
// Open Folder lays a folder out but with short fixed fades, joining the clips already there.
#include "shell/folder_target.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMetaObject>

#include "documents/folder_mix.h"
#include "model/drop_logic.h"
#include "platform/dialogs.h"
#include "shell/main_window.h"

FolderTarget::FolderTarget(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    drops_.acceptFiles(QStringLiteral("special/folder"));
    for (const QString& type : model::laneFileTypes()) drops_.acceptFiles(type);
    setAcceptDrops(true);
}

void FolderTarget::dragEnterEvent(QDragEnterEvent* e) {
    if (drops_.accepts(e->mimeData())) {
        e->acceptProposedAction();
    } else {
        e->ignore();
    }
}

void FolderTarget::dragMoveEvent(QDragMoveEvent* e) { e->acceptProposedAction(); }

void FolderTarget::dropEvent(QDropEvent* e) {
    const platform::DragItem item(e->mimeData(), e->position().toPoint());
    e->acceptProposedAction();
    if (item.hasFiles()) emit dropped(item.firstFile());
}

void MainWindow::folderDropped(const QString& folder) {
    // A media file dropped here, or an empty folder, names no first item: nothing happens.
    if (!QFileInfo(folder).isDir()) return;
    std::vector<documents::FolderEntry> entries;
    if (!documents::readFolder(folder, entries)) {
        statusLine->setText(QStringLiteral("The folder could not be read: ") + folder);
        return;
    }
    if (entries.empty()) return;
    // The box and the layout come after the drop has returned, so the program the folder was
    // dragged from is not kept waiting.
    QMetaObject::invokeMethod(
        this,
        [this, entries = std::move(entries)] {
            if (documentBusy) return;
            platform::showMessage(entries.front().name);
            documents::layoutFolder(*this, entries, documents::folderDropRules());
        },
        Qt::QueuedConnection);
}
