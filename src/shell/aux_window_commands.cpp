// The commands that show the auxiliary windows, and the preview device as the main window gives
// it to them. A command for a window that is open brings it to the front.
#include "engine/routing.h"
#include "shell/main_window.h"
#include "windows/aux_windows.h"

void MainWindow::preferencesChosen() {
    PreferencesWindow::instance(this, mix, *this)->showInFront();
}

void MainWindow::aboutChosen() { AboutWindow::instance(this)->showInFront(); }

void MainWindow::dropPreviewChosen() {
    DropPreviewWindow::instance(this, mix, *this)->showInFront();
}

void MainWindow::libraryChosen() { LibraryWindow::instance(this)->showInFront(); }

media::DeviceId MainWindow::previewDeviceId() const { return previewDevice; }

void MainWindow::setPreviewDeviceId(media::DeviceId id) { previewDevice = id; }

void MainWindow::routeToPreviewDevice(const media::MoviePlayer& player) {
    engine::routePlayer(player, previewDevice);
}
