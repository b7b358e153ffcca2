// Playlist documents and the export. Placeholders until documents are built, but for the
// window title, which the reset needs.
#include "shell/window1.h"

void Window1::fenstername() {
    setTitle(gespeichert.isEmpty() ? QStringLiteral("Vontalix")
                                   : QStringLiteral("Vontalix  -  ") + gespeichert);
    suddensaveflag = 1;
}

void Window1::ladetracks(const QString&) {}
void Window1::neu() { init(); }
int32_t Window1::save() { return 0; }
void Window1::open(const QString&) {}
bool Window1::CancelClose(bool) { return false; }
bool Window1::_openfolder_Action() { return false; }
void Window1::saveallasmovie() {}
QString DragCanvas::collectspurtracks() const { return QString(); }
