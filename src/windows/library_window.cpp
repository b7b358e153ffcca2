// The library list: the songs of the program's song list with their count. No menu item leads
// here; the main window's "libraryItem" command shows it.
#include "model/numtext.h"
#include "windows/aux_windows.h"
#include "windows/window_logic.h"
#include "windows/window_parts.h"

namespace {
QPointer<LibraryWindow> theLibrary;
constexpr int kWidth = 622, kHeight = 300;
constexpr int kLocationColumn = 4;
}  // namespace

LibraryWindow* LibraryWindow::instance(QWidget* owner) {
    return windows::openOrBuild(theLibrary, owner);
}
LibraryWindow* LibraryWindow::existing() { return theLibrary; }

// A document window of fixed size: the list does not follow a resize, so none is offered.
void LibraryWindow::Layout() {
    setFrame(0, owner_, true, false);
    setTitle(QStringLiteral("iTunes Library"));
    setContentLimits(kWidth, kHeight, kWidth, kHeight);
    setContentSize(kWidth, kHeight);
}

void LibraryWindow::CreateControls() {
    songList = windows::place(this, new platform::ListBox(content(), "songList"), 10, 14, 601, 260);
    songList->setColumnCount(5);
    songList->setColumnWidths(QStringLiteral("230,190,180"));
    songList->setHasHeading(true);
    songList->setColumnsResizable(true);
    songList->setGridLines(true, true);
    songList->setDefaultRowHeight(18);
    songList->setTextSize(12);
    songList->setEnableDrag(true);
    songList->onDragRow = [this](platform::DragItem& item, int row) {
        return songListDragRow(item, row);
    };
    songList->onOpen = [this] { songListOpened(); };
    statusText = windows::label(this, "statusText", 20, 281, 560, 15, QStringLiteral("Text:"), 9);
}

// The rows are read once, when the window opens; an empty slot shows as an empty row and still
// counts.
void LibraryWindow::Open() {
    const auto& songs = windows::librarySongs;
    for (const windows::LibrarySongRef& song : songs) {
        const QStringList cells = windows::libraryRow(song.get());
        songList->AddRow(cells[0]);
        for (int c = 1; c < cells.size(); ++c)
            songList->setCell(songList->LastIndex(), c, cells[c]);
    }
    statusText->setText(windows::libraryCountText(static_cast<int>(songs.size())));
    const QStringList headings = windows::libraryHeadings();
    for (int c = 0; c < headings.size(); ++c) songList->setHeading(c, headings[c]);
}

void LibraryWindow::songListOpened() { songList->setEnableDrag(true); }

bool LibraryWindow::songListDragRow(platform::DragItem& item, int row) {
    item.setText(songList->Cell(row, kLocationColumn));
    return true;
}
