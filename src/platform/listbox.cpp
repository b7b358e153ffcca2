#include "platform/listbox.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QMouseEvent>
#include <QTableWidget>
#include <memory>

namespace platform {

namespace {
constexpr int kDefaultColumnWidth = 100;
}

ListBox::ListBox(QWidget* parent, const QString& name)
    : Control(parent, name), table_(new QTableWidget(this)) {
    table_->setColumnCount(1);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->horizontalHeader()->setHighlightSections(false);
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setMinimumSectionSize(1);
    table_->setShowGrid(false);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    table_->setWordWrap(false);
    table_->setTextElideMode(Qt::ElideRight);
    // Drags in and out are the list's own, not the table's item moves.
    table_->setDragDropMode(QAbstractItemView::NoDragDrop);
    table_->setAcceptDrops(false);
    table_->viewport()->setAcceptDrops(false);
    table_->viewport()->installEventFilter(this);
    setTextSize(12);
    setDefaultRowHeight(-1);
    connect(table_, &QTableWidget::itemSelectionChanged, this, [this] {
        if (onChange) onChange();
    });
}

void ListBox::setColumnCount(int n) {
    columns_ = n < 1 ? 1 : n;
    table_->setColumnCount(columns_);
    table_->horizontalHeader()->setStretchLastSection(columns_ == 1);
    for (int r = 0; r < ListCount(); ++r) {
        for (int c = 0; c < columns_; ++c) showCell(r, c);
    }
    applyColumnWidths();
}

void ListBox::setColumnWidths(const QString& widths) {
    widths_.clear();
    for (const QString& part : widths.split(u',', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int v = part.trimmed().toInt(&ok);
        widths_.push_back(ok && v > 0 ? v : kDefaultColumnWidth);
    }
    applyColumnWidths();
}

void ListBox::applyColumnWidths() {
    if (columns_ == 1) return;  // the one column fills the list
    for (int c = 0; c < columns_; ++c) {
        const size_t i = static_cast<size_t>(c);
        table_->setColumnWidth(c, i < widths_.size() ? widths_[i] : kDefaultColumnWidth);
    }
}

void ListBox::setHasHeading(bool h) { table_->horizontalHeader()->setVisible(h); }

QString ListBox::Heading(int column) const {
    const QTableWidgetItem* item = table_->horizontalHeaderItem(column);
    return item ? item->text() : QString();
}

void ListBox::setHeading(int column, const QString& text) {
    if (column < 0 || column >= columns_) return;
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    table_->setHorizontalHeaderItem(column, item);  // the table owns the item
}

void ListBox::setColumnsResizable(bool r) {
    table_->horizontalHeader()->setSectionResizeMode(r ? QHeaderView::Interactive
                                                       : QHeaderView::Fixed);
    if (columns_ == 1) table_->horizontalHeader()->setStretchLastSection(true);
}

void ListBox::setGridLines(bool horizontal, bool vertical) {
    table_->setShowGrid(horizontal || vertical);
}

void ListBox::setDefaultRowHeight(int h) {
    const int height = h > 0 ? h : QFontMetrics(table_->font()).height() + 2;
    table_->verticalHeader()->setDefaultSectionSize(height);
}

void ListBox::setTextSize(int s) {
    table_->setFont(controlFont(s));
    table_->horizontalHeader()->setFont(controlFont(s));
}

void ListBox::AddRow(const QString& text) {
    rows_.push_back(QStringList{text});
    lastIndex_ = ListCount() - 1;
    table_->setRowCount(ListCount());
    for (int c = 0; c < columns_; ++c) showCell(lastIndex_, c);
}

QString ListBox::Cell(int row, int column) const {
    if (row < 0 || row >= ListCount() || column < 0) return QString();
    const QStringList& cells = rows_[static_cast<size_t>(row)];
    return column < cells.size() ? cells[column] : QString();
}

void ListBox::setCell(int row, int column, const QString& text) {
    if (row < 0 || row >= ListCount() || column < 0) return;
    QStringList& cells = rows_[static_cast<size_t>(row)];
    while (cells.size() <= column) cells << QString();
    cells[column] = text;
    if (column < columns_) showCell(row, column);
}

void ListBox::showCell(int row, int column) {
    QTableWidgetItem* item = table_->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        table_->setItem(row, column, item);  // the table owns the item
    }
    item->setText(Cell(row, column));
}

int ListBox::ListIndex() const {
    const QModelIndexList rows = table_->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void ListBox::setListIndex(int row) {
    if (row < 0 || row >= ListCount()) {
        table_->clearSelection();
    } else {
        table_->selectRow(row);
    }
}

void ListBox::AcceptFileDrop(const QString& typeName) {
    drops_.AcceptFileDrop(typeName);
    setAcceptDrops(true);
}

void ListBox::AcceptTextDrop() {
    drops_.AcceptTextDrop();
    setAcceptDrops(true);
}

void ListBox::AcceptPictureDrop() {
    drops_.AcceptPictureDrop();
    setAcceptDrops(true);
}

void ListBox::AcceptMacDataDrop(const QString& type) {
    drops_.AcceptMacDataDrop(type);
    setAcceptDrops(true);
}

bool ListBox::dragRow(int row) {
    if (!enableDrag_ || row < 0 || row >= ListCount()) return false;
    auto data = std::make_unique<QMimeData>();
    DragItem item(data.get());
    if (!onDragRow || !onDragRow(item, row)) return false;
    QRect rect = table_->visualRect(table_->model()->index(row, 0));
    rect.setLeft(0);
    rect.setRight(table_->viewport()->width() - 1);
    const QPixmap picture = table_->viewport()->grab(rect);
    startDrag(this, data.release(), picture, pressAt_ - rect.topLeft());  // the drag owns it
    return true;
}

void ListBox::resizeEvent(QResizeEvent*) { table_->setGeometry(rect()); }

bool ListBox::eventFilter(QObject* watched, QEvent* e) {
    if (watched != table_->viewport()) return Control::eventFilter(watched, e);
    if (e->type() == QEvent::MouseButtonPress) {
        auto* m = static_cast<QMouseEvent*>(e);
        pressAt_ = m->position().toPoint();
        pressRow_ = m->button() == Qt::LeftButton ? table_->rowAt(pressAt_.y()) : -1;
    } else if (e->type() == QEvent::MouseMove && pressRow_ >= 0 && enableDrag_) {
        auto* m = static_cast<QMouseEvent*>(e);
        if ((m->buttons() & Qt::LeftButton) &&
            (m->position().toPoint() - pressAt_).manhattanLength() >=
                QApplication::startDragDistance()) {
            const int row = pressRow_;
            pressRow_ = -1;
            dragRow(row);
            return true;
        }
    } else if (e->type() == QEvent::MouseButtonRelease) {
        pressRow_ = -1;
    }
    return false;
}

void ListBox::dragEnterEvent(QDragEnterEvent* e) {
    if (accepts(e->mimeData())) {
        e->acceptProposedAction();
    } else {
        e->ignore();
    }
}

void ListBox::dragMoveEvent(QDragMoveEvent* e) { e->acceptProposedAction(); }

void ListBox::dropEvent(QDropEvent* e) {
    if (!accepts(e->mimeData())) {
        e->ignore();
        return;
    }
    DragItem item(e->mimeData(), e->position().toPoint());
    e->acceptProposedAction();
    if (onDropObject) onDropObject(item, static_cast<int>(e->dropAction()));
}

}  // namespace platform
