// The preferences window: the preview device and the default transition of the mix, written
// straight into them. The window keeps only the ids of the devices it lists, row by row.
#include <QKeyEvent>

#include "media/output.h"
#include "model/mix.h"
#include "model/numtext.h"
#include "model/status_line.h"
#include "windows/aux_windows.h"
#include "windows/window_logic.h"

namespace {
QPointer<PreferencesWindow> thePreferences;
}

PreferencesWindow::PreferencesWindow(QWidget* owner, model::Mix& mix,
                                     windows::PreviewDeviceHost& device,
                                     model::StatusLine& statusLine)
    : SmallWindow(owner, Kind::Floating, QStringLiteral("Preferences"),
                  Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint),
      mix_(mix),
      device_(device),
      statusLine_(statusLine) {
    setMinimumSize(windows::kMinSize, windows::kMinSize);
    setMaximumSize(windows::kMaxSize, windows::kMaxSize);
    resize(235, 202);

    deviceList = new windows::ListBox(this);
    deviceList->setGeometry(20, 47, 195, 97);
    deviceList->setTextSize(12);
    platform::StaticText* deviceCaption = new platform::StaticText(
        this, {20, 15, 195, 20}, QStringLiteral("preview device (select):"), Qt::black, 12);
    transitionArrows = new windows::LittleArrows(this);
    transitionArrows->setGeometry(186, 161, 13, 23);
    platform::StaticText* transitionCaption = new platform::StaticText(
        this, {20, 162, 136, 20}, QStringLiteral("default transition time:"), Qt::black, 12);
    deviceCaption->setShrinkToFit(true);
    transitionCaption->setShrinkToFit(true);
    // Wide enough for "9.5" and "10" up to the arrows; the value stays right-aligned beside them.
    transitionLabel =
        new platform::StaticText(this, {153, 162, 31, 20}, QStringLiteral("3"), Qt::black, 12);
    transitionLabel->setAlignment(Qt::AlignHCenter);

    listDevices();
    connect(deviceList, &windows::ListBox::selectionChanged, this, [this] { deviceChosen(); });
    connect(transitionArrows, &windows::LittleArrows::steppedUp, this,
            [this] { stepTransition(windows::transitionStepUp); });
    connect(transitionArrows, &windows::LittleArrows::steppedDown, this,
            [this] { stepTransition(windows::transitionStepDown); });
    showTransition();
}

PreferencesWindow* PreferencesWindow::instance(QWidget* owner, model::Mix& mix,
                                               windows::PreviewDeviceHost& device,
                                               model::StatusLine& statusLine) {
    return windows::openOrBuild(thePreferences, owner, mix, device, statusLine);
}
PreferencesWindow* PreferencesWindow::existing() { return thePreferences; }

void PreferencesWindow::showTransition() {
    transitionLabel->setText(model::formatNumber(mix_.defaultTransition()));
}

// Escape closes the window, as it does any small window of the desktop.
void PreferencesWindow::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape) {
        close();
        return;
    }
    SmallWindow::keyPressEvent(e);
}

// The devices are read again each time the window is built, so a device plugged in meanwhile
// shows. The device the preview now uses is selected; a device that is missing has no row.
void PreferencesWindow::listDevices() {
    listedDevices_.clear();
    for (const media::OutputDevice& device : media::outputDevices()) {
        const int r = deviceList->addRow(device.name);
        deviceList->setCell(r, 1, device.info);
        listedDevices_.push_back(device.id);
        if (device.id == device_.previewDeviceId()) deviceList->selectRow(r);
    }
}

// A new device applies from the next movie the preview routes and is kept for the next run;
// clearing the selection keeps the device chosen before.
void PreferencesWindow::deviceChosen() {
    const int row = deviceList->selectedRow();
    if (row < 0 || row >= static_cast<int>(listedDevices_.size())) return;
    const media::DeviceId id = listedDevices_[row];
    if (id == device_.previewDeviceId()) return;
    device_.setPreviewDeviceId(id);
    sayIfNotKept(windows::keepPreviewDevice(id, deviceList->cell(row, 0)));
}

void PreferencesWindow::stepTransition(double (*step)(double)) {
    mix_.setDefaultTransition(step(mix_.defaultTransition()));
    sayIfNotKept(windows::keepTransition(mix_.defaultTransition()));
    showTransition();
}

// The change holds for this run either way; that it is lost at the next start must not come as
// a surprise.
void PreferencesWindow::sayIfNotKept(const QString& notKept) {
    if (!notKept.isEmpty()) statusLine_.showMessage(notKept);
}
