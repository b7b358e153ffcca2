// The library list: the songs of the program's song list with their count. No menu item leads
// here; the main window's "libraryItem" command shows it.
#include "windows/aux_windows.h"
#include "windows/window_logic.h"

namespace {

QPointer<LibraryWindow> theLibrary;
constexpr int kWidth = 622, kHeight = 300;
constexpr int kLocationColumn = 4;

// A dragged row carries the song's location.
class SongList final : public windows::ListBox {
  public:
    using ListBox::ListBox;

  protected:
    bool writeRowDrag(platform::DragItem& item, int row) override {
        item.setText(cell(row, kLocationColumn));
        return true;
    }
};

}  // namespace

LibraryWindow* LibraryWindow::instance(QWidget* owner) {
    return windows::openOrBuild(theLibrary, owner);
}
LibraryWindow* LibraryWindow::existing() { return theLibrary; }

// A document window of fixed size: the list does not follow a resize, so none is offered. The
// rows are read once, when the window opens; an empty slot shows as an empty row and still
// counts.
LibraryWindow::LibraryWindow(QWidget* owner)
    : SmallWindow(owner, Kind::Document, QStringLiteral("iTunes Library"),
                  Qt::WindowMinimizeButtonHint) {
    setFixedSize(kWidth, kHeight);
    songList = new SongList(this);
    songList->setGeometry(10, 14, 601, 260);
    songList->setColumnCount(5);
    songList->setColumnWidths({230, 190, 180});
    songList->setHeadingVisible(true);
    songList->setColumnsResizable(true);
    songList->setGridLines(true);
    songList->setDefaultRowHeight(18);
    songList->setTextSize(12);
    songList->setDragEnabled(true);
    statusText =
        new platform::StaticText(this, {20, 281, 560, 15}, QStringLiteral("Text:"), Qt::black, 9);

    const auto& songs = windows::librarySongs;
    for (const windows::LibrarySongRef& song : songs) {
        const QStringList cells = windows::libraryRow(song.get());
        const int row = songList->addRow(cells[0]);
        for (int c = 1; c < cells.size(); ++c) songList->setCell(row, c, cells[c]);
    }
    statusText->setText(windows::libraryCountText(static_cast<int>(songs.size())));
    const QStringList headings = windows::libraryHeadings();
    for (int c = 0; c < headings.size(); ++c) songList->setHeading(c, headings[c]);
}
