// The preferences window: the preview device and the default transition of the main window,
// written straight into it. The window keeps nothing of its own.
#include "media/output.h"
#include "platform/numtext.h"
#include "shell/window1.h"
#include "windows/aux_windows.h"
#include "windows/window_logic.h"
#include "windows/window_parts.h"

using windows::label;
using windows::place;

namespace {
QPointer<prefsWindow> thePrefs;
}

prefsWindow* prefsWindow::instance() { return windows::openOrBuild(thePrefs); }
prefsWindow* prefsWindow::existing() { return thePrefs; }

void prefsWindow::Layout() {
    setFrame(7, Window1::instance(), true, true);
    setTitle(QStringLiteral("Preferences"));
    setContentLimits(windows::kMinSize, windows::kMinSize, windows::kMaxSize, windows::kMaxSize);
    setContentSize(235, 202);
}

void prefsWindow::CreateControls() {
    prefList = place(this, new platform::ListBox(content(), "prefList"), 20, 47, 195, 97);
    prefList->setColumnCount(1);
    prefList->setHasHeading(false);
    prefList->setTextSize(12);
    prefList->setEnableDrag(false);
    prefList->onOpen = [this] { prefList_Open(); };
    prefList->onChange = [this] { prefList_Change(); };
    StaticText1 =
        label(this, "StaticText1", 20, 15, 195, 20, QStringLiteral("preview device (select):"), 12);
    LittleArrows1 =
        place(this, new platform::LittleArrows(content(), "LittleArrows1"), 186, 161, 13, 23);
    LittleArrows1->onUp = [this] { LittleArrows1_Up(); };
    LittleArrows1->onDown = [this] { LittleArrows1_Down(); };
    StaticText2 = label(this, "StaticText2", 20, 162, 136, 20,
                        QStringLiteral("default transition time:"), 12);
    StaticText1->setShrinkToFit(true);
    StaticText2->setShrinkToFit(true);
    // Wide enough for "9.5" and "10" up to the arrows; the value stays right-aligned beside them.
    transfeld = label(this, "transfeld", 153, 162, 31, 20, QStringLiteral("3"), 12);
    transfeld->setTextAlign(2);
}

void prefsWindow::Open() { transfeld->setText(Str(Window1::instance()->deftrans)); }

// Escape closes the window, as it does any small window of the desktop.
bool prefsWindow::KeyDown(const QString& key) {
    if (key != QString(QChar(27))) return false;
    close();
    return true;
}

// The devices are read again each time the window is built, so a device plugged in meanwhile
// shows. The device the preview now uses is selected; a device that is missing has no row.
void prefsWindow::prefList_Open() {
    const QString current = Hex(whole(Window1::instance()->previewdevice));
    for (const windows::DeviceRow& row : windows::deviceRows(media::outputDevices())) {
        prefList->AddRow(row.name);
        const int r = prefList->LastIndex();
        prefList->setCell(r, 1, row.info);
        prefList->setCell(r, 2, row.hexId);
        if (row.hexId == current) prefList->setListIndex(r);
    }
}

// A new device applies from the next movie the preview routes and is kept for the next run;
// clearing the selection keeps the device chosen before.
void prefsWindow::prefList_Change() {
    const int row = prefList->ListIndex();
    if (row < 0) return;
    Window1* w = Window1::instance();
    const double id = Val(QStringLiteral("&h") + prefList->Cell(row, 2));
    if (id == w->previewdevice) return;
    w->previewdevice = id;
    windows::keepPreviewDevice(whole(id), prefList->Cell(row, 0));
}

void prefsWindow::LittleArrows1_Up() {
    Window1* w = Window1::instance();
    w->deftrans = windows::transitionStepUp(w->deftrans);
    windows::keepTransition(w->deftrans);
    transfeld->setText(Str(w->deftrans));
}

void prefsWindow::LittleArrows1_Down() {
    Window1* w = Window1::instance();
    w->deftrans = windows::transitionStepDown(w->deftrans);
    windows::keepTransition(w->deftrans);
    transfeld->setText(Str(w->deftrans));
}
