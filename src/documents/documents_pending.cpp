// Placeholders until the export is built.
#include "shell/window1.h"

void Window1::saveallasmovie() {}
