#pragma once
// The folder drop target: takes drags of folders (and of the lanes' media files, which it then
// ignores) and reports the folder dropped on it.

#include <QString>
#include <QWidget>

#include "platform/dragdrop.h"

class FolderTarget : public QWidget {
    Q_OBJECT
  public:
    explicit FolderTarget(QWidget* parent);

  signals:
    // The first item of a drop that names one.
    void dropped(const QString& firstItem);

  protected:
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;

  private:
    platform::DropAcceptance drops_;
};
