// The preferences window: the preview device and the default transition of the mix, written
// straight into them. The window keeps nothing of its own.
#include "media/output.h"
#include "model/mix.h"
#include "model/numtext.h"
#include "windows/aux_windows.h"
#include "windows/window_logic.h"
#include "windows/window_parts.h"

using windows::label;
using windows::place;

namespace {
QPointer<PreferencesWindow> thePreferences;
}

PreferencesWindow::PreferencesWindow(QWidget* owner, model::Mix& mix,
                                     windows::PreviewDeviceHost& device)
    : owner_(owner), mix_(mix), device_(device) {}

PreferencesWindow* PreferencesWindow::instance(QWidget* owner, model::Mix& mix,
                                               windows::PreviewDeviceHost& device) {
    return windows::openOrBuild(thePreferences, owner, mix, device);
}
PreferencesWindow* PreferencesWindow::existing() { return thePreferences; }

void PreferencesWindow::Layout() {
    setFrame(7, owner_, true, true);
    setTitle(QStringLiteral("Preferences"));
    setContentLimits(windows::kMinSize, windows::kMinSize, windows::kMaxSize, windows::kMaxSize);
    setContentSize(235, 202);
}

void PreferencesWindow::CreateControls() {
    deviceList = place(this, new platform::ListBox(content(), "deviceList"), 20, 47, 195, 97);
    deviceList->setColumnCount(1);
    deviceList->setHasHeading(false);
    deviceList->setTextSize(12);
    deviceList->setEnableDrag(false);
    deviceList->onOpen = [this] { deviceListOpened(); };
    deviceList->onChange = [this] { deviceListChanged(); };
    deviceCaption = label(this, "deviceCaption", 20, 15, 195, 20,
                          QStringLiteral("preview device (select):"), 12);
    LittleArrows1 =
        place(this, new platform::LittleArrows(content(), "LittleArrows1"), 186, 161, 13, 23);
    LittleArrows1->onUp = [this] { LittleArrows1_Up(); };
    LittleArrows1->onDown = [this] { LittleArrows1_Down(); };
    transitionCaption = label(this, "transitionCaption", 20, 162, 136, 20,
                              QStringLiteral("default transition time:"), 12);
    deviceCaption->setShrinkToFit(true);
    transitionCaption->setShrinkToFit(true);
    // Wide enough for "9.5" and "10" up to the arrows; the value stays right-aligned beside them.
    transitionLabel = label(this, "transitionLabel", 153, 162, 31, 20, QStringLiteral("3"), 12);
    transitionLabel->setAlignment(Qt::AlignHCenter);
}

void PreferencesWindow::Open() { showTransition(); }

void PreferencesWindow::showTransition() { transitionLabel->setText(Str(mix_.defaultTransition)); }

// Escape closes the window, as it does any small window of the desktop.
bool PreferencesWindow::KeyDown(const QString& key) {
    if (key != QString(QChar(27))) return false;
    close();
    return true;
}

// The devices are read again each time the window is built, so a device plugged in meanwhile
// shows. The device the preview now uses is selected; a device that is missing has no row.
void PreferencesWindow::deviceListOpened() {
    const QString current = Hex(whole(device_.previewDeviceId()));
    for (const windows::DeviceRow& row : windows::deviceRows(media::outputDevices())) {
        deviceList->AddRow(row.name);
        const int r = deviceList->LastIndex();
        deviceList->setCell(r, 1, row.info);
        deviceList->setCell(r, 2, row.hexId);
        if (row.hexId == current) deviceList->setListIndex(r);
    }
}

// A new device applies from the next movie the preview routes and is kept for the next run;
// clearing the selection keeps the device chosen before.
void PreferencesWindow::deviceListChanged() {
    const int row = deviceList->ListIndex();
    if (row < 0) return;
    const double id = Val(QStringLiteral("&h") + deviceList->Cell(row, 2));
    if (id == device_.previewDeviceId()) return;
    device_.setPreviewDeviceId(id);
    windows::keepPreviewDevice(whole(id), deviceList->Cell(row, 0));
}

void PreferencesWindow::LittleArrows1_Up() {
    mix_.defaultTransition = windows::transitionStepUp(mix_.defaultTransition);
    windows::keepTransition(mix_.defaultTransition);
    showTransition();
}

void PreferencesWindow::LittleArrows1_Down() {
    mix_.defaultTransition = windows::transitionStepDown(mix_.defaultTransition);
    windows::keepTransition(mix_.defaultTransition);
    showTransition();
}
