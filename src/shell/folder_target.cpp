#include "shell/folder_target.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>

#include "model/drop_logic.h"

FolderTarget::FolderTarget(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    drops_.acceptFiles(QStringLiteral("special/folder"));
    for (const QString& type : model::laneFileTypes()) drops_.acceptFiles(type);
    setAcceptDrops(true);
}

void FolderTarget::dragEnterEvent(QDragEnterEvent* e) {
    platform::answerDrop(e, drops_.accepts(e->mimeData()));
}

void FolderTarget::dragMoveEvent(QDragMoveEvent* e) {
    platform::answerDrop(e, drops_.accepts(e->mimeData()));
}

// Only a folder is laid out; anything else dropped here is refused.
void FolderTarget::dropEvent(QDropEvent* e) {
    const platform::DragItem item(e->mimeData(), e->position().toPoint());
    const QString first = item.firstFile();
    const bool folder = !first.isEmpty() && QFileInfo(first).isDir();
    platform::answerDrop(e, folder);
    if (folder) emit dropped(first);
}
