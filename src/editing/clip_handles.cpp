// The four handles of the selected clip: press one, drag it sideways and release it to set the
// clip's in point, out point, end of the fade-in or start of the fade-out.
#include "editing/handle_logic.h"
#include "editing/selection.h"
#include "shell/window1.h"

using editing::Handle;

namespace {

bool pressHandle(Window1& w, int x) {
    w.mX = x;  // the grabbed point of the handle stays under the mouse while it is dragged
    return true;
}

// Moves the handle sideways with the mouse; false when the mouse did not move. There are no
// bounds while dragging: the release decides what the place means.
bool dragHandle(Window1& w, platform::Control& handle, int x) {
    if (x == w.mX) return false;
    handle.setLeft(handle.Left() + (x - w.mX));
    return true;
}

void placeGuideLine(Window1& w, int x) { w.Line1->setPoints(x, w.Line1->Y1(), x, w.Line1->Y2()); }

void redrawPressedClips(Window1& w) {
    w.Canvas1->imgredraw();
    w.Canvas2->imgredraw();
}

void releaseHandle(Window1& w, const platform::Control& handle, Handle which) {
    if (const DragPicRef clip = editing::selectedClip(w)) {
        editing::releaseHandle(which, *clip,
                               editing::handleHotSpot(which, handle.Left(), handle.Width()));
    }
    w.balkenhandlerupdate();
}

}  // namespace

bool Window1::inp_MouseDown(int x, int) { return pressHandle(*this, x); }
bool Window1::outp_MouseDown(int x, int) { return pressHandle(*this, x); }
bool Window1::fadein_MouseDown(int x, int) { return pressHandle(*this, x); }
bool Window1::fadeout_MouseDown(int x, int) { return pressHandle(*this, x); }

void Window1::inp_MouseDrag(int x, int) {
    if (dragHandle(*this, *inp, x))
        placeGuideLine(*this, editing::handleHotSpot(Handle::In, inp->Left(), inp->Width()));
}

void Window1::outp_MouseDrag(int x, int) {
    if (dragHandle(*this, *outp, x)) placeGuideLine(*this, outp->Left());
}

void Window1::fadein_MouseDrag(int x, int) {
    if (dragHandle(*this, *fadein, x)) redrawPressedClips(*this);
}

void Window1::fadeout_MouseDrag(int x, int) {
    if (dragHandle(*this, *fadeout, x)) redrawPressedClips(*this);
}

void Window1::inp_MouseUp(int, int) { releaseHandle(*this, *inp, Handle::In); }
void Window1::outp_MouseUp(int, int) { releaseHandle(*this, *outp, Handle::Out); }
void Window1::fadein_MouseUp(int, int) { releaseHandle(*this, *fadein, Handle::FadeIn); }
void Window1::fadeout_MouseUp(int, int) { releaseHandle(*this, *fadeout, Handle::FadeOut); }
