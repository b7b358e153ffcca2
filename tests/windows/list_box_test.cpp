// The list box: cells beyond the shown columns, selection and its signal, row drags.
#include "windows/list_box.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMimeData>
#include <QTableWidget>
#include <QTest>

#include "windows/little_arrows.h"

namespace {

// A list whose dragged row carries its first cell, as long as `allow` says so.
class TextList : public windows::ListBox {
  public:
    using ListBox::ListBox;
    bool allow = true;

  protected:
    bool writeRowDrag(platform::DragItem& item, int row) override {
        item.setText(cell(row, 0));
        return allow;
    }
};

TEST(ListBox, HiddenCellsKeepTheirTextAndOnlyShownColumnsShow) {
    QWidget parent;
    TextList list(&parent);
    list.setGeometry(0, 0, 200, 100);
    EXPECT_EQ(list.addRow("first"), 0);
    list.setCell(0, 2, "hidden");
    EXPECT_EQ(list.addRow("second"), 1);
    struct Case {
        int row, column;
        const char* text;
    };
    const Case cases[] = {{0, 0, "first"}, {0, 1, ""}, {0, 2, "hidden"}, {1, 0, "second"},
                          {1, 2, ""},      {2, 0, ""}, {-1, 0, ""},      {0, -1, ""}};
    for (const Case& c : cases) EXPECT_EQ(list.cell(c.row, c.column), c.text) << c.row << c.column;
    EXPECT_EQ(list.table()->columnCount(), 1);
    EXPECT_EQ(list.table()->item(0, 0)->text(), "first");
    list.setCell(5, 0, "no such row");  // ignored
    EXPECT_EQ(list.rowCount(), 2);
}

TEST(ListBox, SelectingSignalsTheChange) {
    QWidget parent;
    TextList list(&parent);
    list.setGeometry(0, 0, 200, 100);
    for (const char* t : {"a", "b", "c"}) list.addRow(t);
    std::vector<int> seen;
    QObject::connect(&list, &windows::ListBox::selectionChanged,
                     [&] { seen.push_back(list.selectedRow()); });
    EXPECT_EQ(list.selectedRow(), -1);
    list.selectRow(2);
    list.selectRow(0);
    list.selectRow(-1);
    EXPECT_EQ(seen, (std::vector<int>{2, 0, -1}));
}

TEST(ListBox, PressingARowAndMovingDragsItOnlyWhenDragIsOn) {
    QWidget parent;
    parent.resize(200, 100);
    TextList list(&parent);
    list.setGeometry(0, 0, 200, 100);
    list.addRow("a");
    list.addRow("b");
    parent.show();
    QStringList dragged;
    platform::dragHook() = [&](QWidget*, QMimeData* data, const QPixmap&, QPoint) {
        dragged << data->text();
    };
    QWidget* viewport = list.table()->viewport();
    const QPoint onB = list.table()->visualRect(list.table()->model()->index(1, 0)).center();
    const auto pressAndMove = [&] {
        QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, onB);
        QTest::mouseMove(viewport, onB + QPoint(QApplication::startDragDistance() + 2, 0));
        QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, onB);
    };
    pressAndMove();
    EXPECT_TRUE(dragged.isEmpty());
    list.setDragEnabled(true);
    pressAndMove();
    EXPECT_EQ(dragged, QStringList{"b"});
    // A handler that declines leaves no drag.
    list.allow = false;
    EXPECT_FALSE(list.dragRow(0));
    EXPECT_EQ(dragged.size(), 1);
    platform::dragHook() = nullptr;
}

TEST(LittleArrows, TheUpperHalfStepsUpAndTheLowerDown) {
    QWidget parent;
    windows::LittleArrows arrows(&parent);
    arrows.setGeometry(0, 0, 13, 23);
    QString steps;
    QObject::connect(&arrows, &windows::LittleArrows::steppedUp, [&] { steps += 'u'; });
    QObject::connect(&arrows, &windows::LittleArrows::steppedDown, [&] { steps += 'd'; });
    for (const int y : {1, 10, 12, 22}) {
        QTest::mouseClick(&arrows, Qt::LeftButton, Qt::NoModifier, QPoint(6, y));
    }
    EXPECT_EQ(steps, "uudd");
}

}  // namespace
