// The auxiliary windows (preferences, about, drop preview, library list) and the commands that
// show them. They are not part of this build yet; their commands do nothing.
#include "shell/app.h"
#include "shell/window1.h"

bool App::_editpreferences_Action() { return false; }
bool App::_aboutme_Action() { return false; }
bool App::_ExtrasDropPreview_Action() { return false; }
bool Window1::_itunesl_Action() { return false; }
