// Drops, handles, clipboard and keyboard commands. Placeholders until editing is built.
#include "shell/window1.h"

using platform::DragItem;

void Window1::Canvas3_DropObject(DragItem&, int) {}
void Window1::Canvas3_Open() {}
