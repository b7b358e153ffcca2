// The commands that show the auxiliary windows. A command for a window that is open brings it to
// the front.
#include "shell/app.h"
#include "shell/main_window.h"
#include "windows/aux_windows.h"

bool App::preferencesChosen() {
    PreferencesWindow::instance()->Show();
    return true;
}

bool App::aboutChosen() {
    about::instance()->Show();
    return true;
}

bool App::_ExtrasDropPreview_Action() {
    dropPreviewWindow::instance()->Show();
    return true;
}

bool MainWindow::libraryChosen() {
    itunesLib::instance()->Show();
    return true;
}
