#include "shell/folder_target.h"

#include <QDragEnterEvent>
#include <QDropEvent>

#include "model/drop_logic.h"

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
