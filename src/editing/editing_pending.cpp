// Drops, handles, clipboard and keyboard commands. Placeholders until editing is built.
#include "shell/window1.h"

using platform::DragItem;

bool Window1::KeyDown(const QString&) { return false; }
void Window1::clear() {}
void Window1::copy() {}
void Window1::paste() {}
