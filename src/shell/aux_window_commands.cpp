// The commands that show the auxiliary windows, and the preview device as the main window gives
// it to them. A command for a window that is open brings it to the front.
#include "engine/routing.h"
#include "model/numtext.h"
#include "shell/app.h"
#include "shell/main_window.h"
#include "windows/aux_windows.h"

bool App::preferencesChosen() {
    MainWindow* w = MainWindow::instance();
    PreferencesWindow::instance(w, w->mix, *w)->showInFront();
    return true;
}

bool App::aboutChosen() {
    AboutWindow::instance(MainWindow::instance())->showInFront();
    return true;
}

bool App::_ExtrasDropPreview_Action() {
    MainWindow* w = MainWindow::instance();
    DropPreviewWindow::instance(w, w->mix, *w)->showInFront();
    return true;
}

bool MainWindow::libraryChosen() {
    LibraryWindow::instance(this)->showInFront();
    return true;
}

double MainWindow::previewDeviceId() const { return previewDevice; }

void MainWindow::setPreviewDeviceId(double id) { previewDevice = id; }

void MainWindow::routeToPreviewDevice(const media::MoviePlayer& player) {
    engine::routePlayer(player, whole(previewDevice));
}
