// The list box: cells beyond the shown columns, selection and its Change event, row drags.
#include "platform/listbox.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMimeData>
#include <QTableWidget>
#include <QTest>

#include "platform/little_arrows.h"

namespace {

TEST(ListBox, HiddenCellsKeepTheirTextAndOnlyShownColumnsShow) {
    QWidget parent;
    platform::ListBox list(&parent, "list");
    list.setBounds(0, 0, 200, 100);
    list.AddRow("first");
    list.setCell(0, 2, "hidden");
    list.AddRow("second");
    EXPECT_EQ(list.LastIndex(), 1);
    struct Case {
        int row, column;
        const char* text;
    };
    const Case cases[] = {{0, 0, "first"}, {0, 1, ""}, {0, 2, "hidden"}, {1, 0, "second"},
                          {1, 2, ""},      {2, 0, ""}, {-1, 0, ""},      {0, -1, ""}};
    for (const Case& c : cases) EXPECT_EQ(list.Cell(c.row, c.column), c.text) << c.row << c.column;
    EXPECT_EQ(list.table()->columnCount(), 1);
    EXPECT_EQ(list.table()->item(0, 0)->text(), "first");
    list.setCell(5, 0, "no such row");  // ignored
    EXPECT_EQ(list.ListCount(), 2);
}

TEST(ListBox, SelectionRaisesChange) {
    QWidget parent;
    platform::ListBox list(&parent, "list");
    list.setBounds(0, 0, 200, 100);
    for (const char* t : {"a", "b", "c"}) list.AddRow(t);
    std::vector<int> seen;
    list.onChange = [&] { seen.push_back(list.ListIndex()); };
    EXPECT_EQ(list.ListIndex(), -1);
    list.setListIndex(2);
    list.setListIndex(0);
    list.setListIndex(-1);
    EXPECT_EQ(seen, (std::vector<int>{2, 0, -1}));
}

TEST(ListBox, PressingARowAndMovingDragsItOnlyWhenDragIsOn) {
    QWidget parent;
    parent.resize(200, 100);
    platform::ListBox list(&parent, "list");
    list.setBounds(0, 0, 200, 100);
    list.AddRow("a");
    list.AddRow("b");
    parent.show();
    QStringList dragged;
    platform::dragHook() = [&](QWidget*, QMimeData* data, const QPixmap&, QPoint) {
        dragged << data->text();
    };
    list.onDragRow = [&](platform::DragItem& item, int row) {
        item.setText(list.Cell(row, 0));
        return true;
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
    list.setEnableDrag(true);
    pressAndMove();
    EXPECT_EQ(dragged, QStringList{"b"});
    // A handler that declines leaves no drag.
    list.onDragRow = [](platform::DragItem&, int) { return false; };
    EXPECT_FALSE(list.dragRow(0));
    EXPECT_EQ(dragged.size(), 1);
    platform::dragHook() = nullptr;
}

TEST(LittleArrows, TheUpperHalfStepsUpAndTheLowerDown) {
    QWidget parent;
    platform::LittleArrows arrows(&parent, "arrows");
    arrows.setBounds(0, 0, 13, 23);
    QString steps;
    arrows.onUp = [&] { steps += 'u'; };
    arrows.onDown = [&] { steps += 'd'; };
    for (const int y : {1, 10, 12, 22}) {
        QTest::mouseClick(&arrows, Qt::LeftButton, Qt::NoModifier, QPoint(6, y));
    }
    EXPECT_EQ(steps, "uudd");
}

}  // namespace
