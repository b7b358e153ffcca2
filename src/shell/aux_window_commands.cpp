// The commands that show the auxiliary windows, and the preview device as the main window gives
// it to them. A command for a window that is open brings it to the front.
#include "model/numtext.h"
#include "shell/main_window.h"
#include "windows/aux_windows.h"

void MainWindow::preferencesChosen() { PreferencesWindow::instance(this, mix, *this)->Show(); }

void MainWindow::aboutChosen() { AboutWindow::instance(this)->Show(); }

void MainWindow::dropPreviewChosen() { DropPreviewWindow::instance(this, mix, *this)->Show(); }

void MainWindow::libraryChosen() { LibraryWindow::instance(this)->Show(); }

double MainWindow::previewDeviceId() const { return previewDevice; }

void MainWindow::setPreviewDeviceId(double id) { previewDevice = id; }

void MainWindow::routeToPreviewDevice(platform::MoviePlayer* player) {
    setPlayerOutputDevice(player, whole(previewDevice));
}
