// The commands that show the auxiliary windows. A command for a window that is open brings it to
// the front.
#include "shell/app.h"
#include "shell/window1.h"
#include "windows/aux_windows.h"

bool App::_editpreferences_Action() {
    prefsWindow::instance()->Show();
    return true;
}

bool App::_aboutme_Action() {
    about::instance()->Show();
    return true;
}

bool App::_ExtrasDropPreview_Action() {
    droppreview::instance()->Show();
    return true;
}

bool Window1::_itunesl_Action() {
    itunesLib::instance()->Show();
    return true;
}
