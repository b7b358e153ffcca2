#pragma once
// A list of rows with columns. Rows may hold more cells than the list shows: cells beyond
// ColumnCount keep data the user never sees. The user selects one row at a time, may drag a row
// out (when EnableDrag is on) and may drop things on the list (what it accepts is declared as on
// a canvas).

#include <QStringList>
#include <functional>
#include <vector>

#include "platform/control.h"
#include "platform/dragdrop.h"

class QTableWidget;

namespace platform {

class ListBox : public Control {
    Q_OBJECT
  public:
    ListBox(QWidget* parent, const QString& name);

    // ---- Layout values ---------------------------------------------------------------------
    int ColumnCount() const { return columns_; }
    void setColumnCount(int n);
    // Widths of the first columns in pixels, "230,190,180"; the others keep the default width.
    // A one-column list fills its width.
    void setColumnWidths(const QString& widths);
    void setHasHeading(bool h);
    QString Heading(int column) const;
    void setHeading(int column, const QString& text);
    void setColumnsResizable(bool r);
    void setGridLines(bool horizontal, bool vertical);
    // -1 is the toolkit's default height.
    void setDefaultRowHeight(int h);
    void setTextSize(int s);
    bool EnableDrag() const { return enableDrag_; }
    void setEnableDrag(bool e) { enableDrag_ = e; }

    // ---- Rows --------------------------------------------------------------------------------
    void AddRow(const QString& text);
    int ListCount() const { return static_cast<int>(rows_.size()); }
    int LastIndex() const { return lastIndex_; }
    // "" for a cell that was never set or lies outside the rows.
    QString Cell(int row, int column) const;
    void setCell(int row, int column, const QString& text);
    // The selected row, -1 when none; setting it raises Change when the selection changes.
    int ListIndex() const;
    void setListIndex(int row);

    // ---- Drops -------------------------------------------------------------------------------
    void AcceptFileDrop(const QString& typeName);
    void AcceptTextDrop();
    void AcceptPictureDrop();
    void AcceptMacDataDrop(const QString& type);
    bool accepts(const QMimeData* data) const { return drops_.accepts(data); }

    // ---- Events ------------------------------------------------------------------------------
    std::function<void()> onOpen, onChange;
    // The drag item's data goes with the drag when the handler returns true.
    std::function<bool(DragItem&, int row)> onDragRow;
    std::function<void(DragItem&, int action)> onDropObject;
    void Open() override {
        if (onOpen) onOpen();
    }

    // Starts dragging a row out as the user would; false when no drag started.
    bool dragRow(int row);

    QTableWidget* table() const { return table_; }

  protected:
    void resizeEvent(QResizeEvent*) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;

  private:
    void showCell(int row, int column);
    void applyColumnWidths();

    QTableWidget* table_;
    std::vector<QStringList> rows_;
    int columns_ = 1;
    int lastIndex_ = -1;
    std::vector<int> widths_;
    bool enableDrag_ = false;
    DropAcceptance drops_;
    int pressRow_ = -1;
    QPoint pressAt_;
};

}  // namespace platform
