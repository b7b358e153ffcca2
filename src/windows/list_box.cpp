#include "windows/list_box.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QMouseEvent>
#include <QTableWidget>
#include <memory>

#include "platform/fonts.h"

namespace windows {

namespace {
constexpr int kDefaultColumnWidth = 100;
}

ListBox::ListBox(QWidget* parent) : QWidget(parent), table_(new QTableWidget(this)) {
    setFocusPolicy(Qt::NoFocus);
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
    connect(table_, &QTableWidget::itemSelectionChanged, this, &ListBox::selectionChanged);
}

void ListBox::setColumnCount(int n) {
    columns_ = n < 1 ? 1 : n;
    table_->setColumnCount(columns_);
    table_->horizontalHeader()->setStretchLastSection(columns_ == 1);
    for (int r = 0; r < rowCount(); ++r) {
        for (int c = 0; c < columns_; ++c) showCell(r, c);
    }
    applyColumnWidths();
}

void ListBox::setColumnWidths(const std::vector<int>& widths) {
    widths_ = widths;
    applyColumnWidths();
}

void ListBox::applyColumnWidths() {
    if (columns_ == 1) return;  // the one column fills the list
    for (int c = 0; c < columns_; ++c) {
        const size_t i = static_cast<size_t>(c);
        table_->setColumnWidth(
            c, i < widths_.size() && widths_[i] > 0 ? widths_[i] : kDefaultColumnWidth);
    }
}

void ListBox::setHeadingVisible(bool shown) { table_->horizontalHeader()->setVisible(shown); }

QString ListBox::heading(int column) const {
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

void ListBox::setGridLines(bool shown) { table_->setShowGrid(shown); }

void ListBox::setDefaultRowHeight(int h) {
    const int height = h > 0 ? h : QFontMetrics(table_->font()).height() + 2;
    table_->verticalHeader()->setDefaultSectionSize(height);
}

void ListBox::setTextSize(int s) {
    table_->setFont(platform::controlFont(s));
    table_->horizontalHeader()->setFont(platform::controlFont(s));
}

int ListBox::addRow(const QString& text) {
    rows_.push_back(QStringList{text});
    const int row = rowCount() - 1;
    table_->setRowCount(rowCount());
    for (int c = 0; c < columns_; ++c) showCell(row, c);
    return row;
}

QString ListBox::cell(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0) return QString();
    const QStringList& cells = rows_[static_cast<size_t>(row)];
    return column < cells.size() ? cells[column] : QString();
}

void ListBox::setCell(int row, int column, const QString& text) {
    if (row < 0 || row >= rowCount() || column < 0) return;
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
    item->setText(cell(row, column));
}

int ListBox::selectedRow() const {
    const QModelIndexList rows = table_->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void ListBox::selectRow(int row) {
    if (row < 0 || row >= rowCount()) {
        table_->clearSelection();
    } else {
        table_->selectRow(row);
    }
}

bool ListBox::dragRow(int row) {
    if (!dragEnabled_ || row < 0 || row >= rowCount()) return false;
    auto data = std::make_unique<QMimeData>();
    platform::DragItem item(data.get());
    if (!writeRowDrag(item, row)) return false;
    QRect rect = table_->visualRect(table_->model()->index(row, 0));
    rect.setLeft(0);
    rect.setRight(table_->viewport()->width() - 1);
    const QPixmap picture = table_->viewport()->grab(rect);
    platform::startDrag(this, data.release(), picture,
                        pressAt_ - rect.topLeft());  // the drag owns it
    return true;
}

void ListBox::resizeEvent(QResizeEvent*) { table_->setGeometry(rect()); }

bool ListBox::eventFilter(QObject* watched, QEvent* e) {
    if (watched != table_->viewport()) return QWidget::eventFilter(watched, e);
    if (e->type() == QEvent::MouseButtonPress) {
        auto* m = static_cast<QMouseEvent*>(e);
        pressAt_ = m->position().toPoint();
        pressRow_ = m->button() == Qt::LeftButton ? table_->rowAt(pressAt_.y()) : -1;
    } else if (e->type() == QEvent::MouseMove && pressRow_ >= 0 && dragEnabled_) {
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
    platform::answerDrop(e, accepts(e->mimeData()));
}

void ListBox::dragMoveEvent(QDragMoveEvent* e) { platform::answerDrop(e, accepts(e->mimeData())); }

void ListBox::dropEvent(QDropEvent* e) {
    const bool taken = accepts(e->mimeData()) &&
                       dropped(platform::DragItem(e->mimeData(), e->position().toPoint()));
    platform::answerDrop(e, taken);
}

}  // namespace windows
