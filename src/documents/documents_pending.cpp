// Placeholders until the folder mix and the export are built.
#include "shell/window1.h"

bool Window1::_openfolder_Action() { return false; }
void Window1::saveallasmovie() {}
