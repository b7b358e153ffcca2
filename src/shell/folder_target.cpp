// The folder drop target: a folder dropped on it adds its MP3 files to the mix, laid out as
// Open Folder lays a folder out but with short fixed fades, joining the clips already there.
#include <QFileInfo>
#include <QMetaObject>

#include "documents/folder_mix.h"
#include "model/drop_logic.h"
#include "platform/dialogs.h"
#include "shell/main_window.h"

using platform::DragItem;

void MainWindow::folderTargetOpened() {
    folderTarget->AcceptFileDrop(QStringLiteral("special/folder"));
    for (const QString& type : editing::laneFileTypes()) folderTarget->AcceptFileDrop(type);
}

void MainWindow::folderTargetDrop(DragItem& item, int) {
    if (!item.FolderItemAvailable()) return;
    // A media file dropped here, or an empty folder, names no first item: nothing happens.
    const QString folder = item.FolderItem();
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
            platform::MsgBox(entries.front().name);
            documents::layoutFolder(*this, entries, documents::folderDropRules());
        },
        Qt::QueuedConnection);
}
