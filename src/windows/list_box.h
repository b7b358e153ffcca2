#pragma once
// A list of rows with columns. Rows may hold more cells than the list shows: cells beyond the
// column count keep data the user never sees. The user selects one row at a time, may drag a row
// out (when dragging is on and the list writes the row's drag) and may drop things on the list
// (what it accepts is declared as on a canvas).

#include <QStringList>
#include <QWidget>
#include <vector>

#include "platform/dragdrop.h"

class QTableWidget;

namespace windows {

class ListBox : public QWidget {
    Q_OBJECT
  public:
    explicit ListBox(QWidget* parent);

    // ---- Layout values ---------------------------------------------------------------------
    int columnCount() const { return columns_; }
    void setColumnCount(int n);
    // Widths of the first columns in pixels; the others keep the default width. A one-column
    // list fills its width.
    void setColumnWidths(const std::vector<int>& widths);
    void setHeadingVisible(bool shown);
    QString heading(int column) const;
    void setHeading(int column, const QString& text);
    void setColumnsResizable(bool r);
    void setGridLines(bool shown);
    // 0 or less is the toolkit's default height.
    void setDefaultRowHeight(int h);
    void setTextSize(int s);
    bool dragEnabled() const { return dragEnabled_; }
    void setDragEnabled(bool e) { dragEnabled_ = e; }

    // ---- Rows --------------------------------------------------------------------------------
    // Returns the new row's index.
    int addRow(const QString& text);
    int rowCount() const { return static_cast<int>(rows_.size()); }
    // "" for a cell that was never set or lies outside the rows.
    QString cell(int row, int column) const;
    void setCell(int row, int column, const QString& text);
    // The selected row, -1 when none; selecting another emits selectionChanged.
    int selectedRow() const;
    void selectRow(int row);

    // ---- Drops -------------------------------------------------------------------------------
    void acceptFileDrop(const QString& typeName) { accept().acceptFiles(typeName); }
    void acceptPictureDrop() { accept().acceptClips(); }
    void acceptLibraryDrop(const QString& type) { accept().acceptPrivateData(type); }
    bool accepts(const QMimeData* data) const { return drops_.accepts(data); }

    // Starts dragging a row out as the user would; false when no drag started.
    bool dragRow(int row);

    QTableWidget* table() const { return table_; }

  signals:
    void selectionChanged();

  protected:
    // What a drag of the row carries; false starts no drag.
    virtual bool writeRowDrag(platform::DragItem&, int /*row*/) { return false; }
    // Something the list accepts was dropped on it; true when the list took it.
    virtual bool dropped(const platform::DragItem&) { return false; }

    void resizeEvent(QResizeEvent*) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;

  private:
    platform::DropAcceptance& accept() {
        setAcceptDrops(true);
        return drops_;
    }
    void showCell(int row, int column);
    void applyColumnWidths();

    QTableWidget* table_;
    std::vector<QStringList> rows_;
    int columns_ = 1;
    std::vector<int> widths_;
    bool dragEnabled_ = false;
    platform::DropAcceptance drops_;
    int pressRow_ = -1;
    QPoint pressAt_;
};

}  // namespace windows
