// Lane drawing, hit tests, handles, mouse gestures, zoom, scrolling, ruler and time text.
// Placeholders until the timeline view is built: they keep the window working and do nothing.
#include "lanes/dragcanvas.h"
#include "platform/numtext.h"
#include "shell/window1.h"

void DragCanvas::MouseUp(int, int) {}
void DragCanvas::MouseDrag(int, int) {}
bool DragCanvas::MouseDown(int, int) { return false; }
void DragCanvas::Paint(platform::Graphics&) {}
void DragCanvas::Redraw(platform::Graphics&, double, double, double, double) {}
DragPicRef DragCanvas::PicHit(double, double) const { return nullptr; }
void DragCanvas::PrepareBuffer() {}
void DragCanvas::RefreshPic(const DragPicRef&) { update(); }
DragPicRef DragCanvas::LineHit(double) const { return nullptr; }
void DragCanvas::aktualisiere() { update(); }
void DragCanvas::aktivierebalken() {
    if (Window1* w = win()) w->suddensaveflag = 0;
}
void DragCanvas::versteckebalken() {
    if (Window1* w = win()) w->suddensaveflag = 0;
}
void DragCanvas::imgredraw() {}

platform::PictureRef Window1::zeichnetrack(const QString&, double duration, double, double, double,
                                           double, int32_t) {
    return std::make_shared<platform::Picture>(whole(duration) > 0 ? whole(duration) : 1, 30);
}
void Window1::zoom(double) {}
void Window1::zoomer_Open() {}
void Window1::zoomer_Action() {}
void Window1::scroller() {}
void Window1::zeitundbalkenscroll() {}
void Window1::previeplayzentriere(int32_t) {}
void Window1::ScrollBar1_Open() {}
void Window1::ScrollBar1_ValueChanged() {}
void Window1::nowplay_Action() {}
void Window1::nowpreview_Action() {}
QString Window1::secstoTime(double) { return QString(); }
void Window1::balkenhandlerupdate() {}
void Window1::refreshc() {}
void Window1::movetoright(double, double) {}
void Window1::tracktauscher(double, const DragPicRef&) {}
