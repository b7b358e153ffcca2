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
    transfeld = label(this, "transfeld", 153, 162, 22, 20, QStringLiteral("3"), 12);
    transfeld->setTextAlign(2);
}

void prefsWindow::Open() { transfeld->setText(Str(Window1::instance()->deftrans)); }

// The devices are read again each time the window is built, so a device plugged in meanwhile
// shows. No row is selected: the list shows what can be chosen, not what was.
void prefsWindow::prefList_Open() {
    for (const windows::DeviceRow& row : windows::deviceRows(media::outputDevices())) {
        prefList->AddRow(row.name);
        const int r = prefList->LastIndex();
        prefList->setCell(r, 1, row.info);
        prefList->setCell(r, 2, row.hexId);
    }
}

// A new device applies from the next movie the preview routes; clearing the selection keeps the
// device chosen before.
void prefsWindow::prefList_Change() {
    const int row = prefList->ListIndex();
    if (row < 0) return;
    Window1::instance()->previewdevice = Val(QStringLiteral("&h") + prefList->Cell(row, 2));
}

void prefsWindow::LittleArrows1_Up() {
    Window1* w = Window1::instance();
    w->deftrans = windows::transitionStepUp(w->deftrans);
    transfeld->setText(Str(w->deftrans));
}

void prefsWindow::LittleArrows1_Down() {
    Window1* w = Window1::instance();
    w->deftrans = windows::transitionStepDown(w->deftrans);
    transfeld->setText(Str(w->deftrans));
}
