// The commands that show the auxiliary windows, and the preview device as the main window gives
// it to them. A command for a window that is open brings it to the front.
#include "model/numtext.h"
#include "shell/app.h"
#include "shell/main_window.h"
#include "windows/aux_windows.h"

bool App::preferencesChosen() {
    MainWindow* w = MainWindow::instance();
    PreferencesWindow::instance(w, w->mix, *w)->Show();
    return true;
}

bool App::aboutChosen() {
    AboutWindow::instance(MainWindow::instance())->Show();
    return true;
}

bool App::_ExtrasDropPreview_Action() {
    MainWindow* w = MainWindow::instance();
    DropPreviewWindow::instance(w, w->mix, *w)->Show();
    return true;
}

bool MainWindow::libraryChosen() {
    LibraryWindow::instance(this)->Show();
    return true;
}

double MainWindow::previewDeviceId() const { return previewDevice; }

void MainWindow::setPreviewDeviceId(double id) { previewDevice = id; }

void MainWindow::routeToPreviewDevice(platform::MoviePlayer* player) {
    setPlayerOutputDevice(player, whole(previewDevice));
}
