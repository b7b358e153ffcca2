// Drops, handles, clipboard and keyboard commands. Placeholders until editing is built.
#include "shell/window1.h"

using platform::DragItem;

void Window1::Canvas1_Open() {}
bool Window1::Canvas1_DragEnter(DragItem&, int) { return false; }
void Window1::Canvas1_DragExit(DragItem&, int) {}
void Window1::Canvas1_MouseEnter() {}
void Window1::Canvas1_DropObject(DragItem&, int) {}
void Window1::Canvas2_Open() {}
bool Window1::Canvas2_DragEnter(DragItem&, int) { return false; }
void Window1::Canvas2_DragExit(DragItem&, int) {}
void Window1::Canvas2_MouseEnter() {}
void Window1::Canvas2_DropObject(DragItem&, int) {}
void Window1::Canvas3_DropObject(DragItem&, int) {}
void Window1::Canvas3_Open() {}
void Window1::inp_MouseDrag(int, int) {}
bool Window1::inp_MouseDown(int, int) { return false; }
void Window1::inp_MouseUp(int, int) {}
bool Window1::outp_MouseDown(int, int) { return false; }
void Window1::outp_MouseDrag(int, int) {}
void Window1::outp_MouseUp(int, int) {}
void Window1::fadein_MouseDrag(int, int) {}
bool Window1::fadein_MouseDown(int, int) { return false; }
void Window1::fadein_MouseUp(int, int) {}
void Window1::fadeout_MouseUp(int, int) {}
void Window1::fadeout_MouseDrag(int, int) {}
bool Window1::fadeout_MouseDown(int, int) { return false; }
bool Window1::KeyDown(const QString&) { return false; }
void Window1::clear() {}
void Window1::copy() {}
void Window1::paste() {}
QString Window1::putznam(const QString& fileName, const QString&) { return fileName; }
QString Window1::itlastinurltopfad(const QString& text) { return text; }
QString Window1::itvorputz(const QString& text) { return text; }
QString Window1::dropfromtunes(DragItem&) { return QString(); }
void Window1::dropaufcanvas(DragCanvas*, DragItem&, int) {}
