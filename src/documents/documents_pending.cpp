// Placeholders until the folder mix is built.
#include "shell/window1.h"

bool Window1::_openfolder_Action() { return false; }
