// The library list: the songs of the program's song list with their count. No menu item leads
// here; the main window's "itunesl" command shows it.
#include "platform/numtext.h"
#include "shell/window1.h"
#include "windows/aux_windows.h"
#include "windows/window_logic.h"
#include "windows/window_parts.h"

namespace {
QPointer<itunesLib> theLibrary;
constexpr int kWidth = 622, kHeight = 300;
constexpr int kLocationColumn = 4;
}  // namespace

itunesLib* itunesLib::instance() { return windows::openOrBuild(theLibrary); }
itunesLib* itunesLib::existing() { return theLibrary; }

// A document window of fixed size: the list does not follow a resize, so none is offered.
void itunesLib::Layout() {
    setFrame(0, Window1::instance(), true, false);
    setTitle(QStringLiteral("iTunes Library"));
    setContentLimits(kWidth, kHeight, kWidth, kHeight);
    setContentSize(kWidth, kHeight);
}

void itunesLib::CreateControls() {
    lsbSongs = windows::place(this, new platform::ListBox(content(), "lsbSongs"), 10, 14, 601, 260);
    lsbSongs->setColumnCount(5);
    lsbSongs->setColumnWidths(QStringLiteral("230,190,180"));
    lsbSongs->setHasHeading(true);
    lsbSongs->setColumnsResizable(true);
    lsbSongs->setGridLines(true, true);
    lsbSongs->setDefaultRowHeight(18);
    lsbSongs->setTextSize(12);
    lsbSongs->setEnableDrag(true);
    lsbSongs->onDragRow = [this](platform::DragItem& item, int row) {
        return lsbSongs_DragRow(item, row);
    };
    lsbSongs->onOpen = [this] { lsbSongs_Open(); };
    txtstatus = windows::label(this, "txtstatus", 20, 281, 560, 15, QStringLiteral("Text:"), 9);
}

// The rows are read once, when the window opens; an empty slot shows as an empty row and still
// counts.
void itunesLib::Open() {
    const auto& songs = Globals::Songs;
    for (const windows::LibrarySongRef& song : songs) {
        const QStringList cells = windows::libraryRow(song.get());
        lsbSongs->AddRow(cells[0]);
        for (int c = 1; c < cells.size(); ++c)
            lsbSongs->setCell(lsbSongs->LastIndex(), c, cells[c]);
    }
    txtstatus->setText(windows::libraryCountText(static_cast<int>(songs.size())));
    const QStringList headings = windows::libraryHeadings();
    for (int c = 0; c < headings.size(); ++c) lsbSongs->setHeading(c, headings[c]);
}

void itunesLib::lsbSongs_Open() { lsbSongs->setEnableDrag(true); }

bool itunesLib::lsbSongs_DragRow(platform::DragItem& item, int row) {
    item.setText(lsbSongs->Cell(row, kLocationColumn));
    return true;
}
