#include "editing/handle_logic.h"

namespace editing {

int handleHotSpot(Handle handle, int left, int width) {
    switch (handle) {
        case Handle::In:
            return left + width - 2;
        case Handle::Out:
            return left;
        case Handle::FadeIn:
        case Handle::FadeOut:
            return left + width - 5;
    }
    return left;
}

void releaseHandle(Handle handle, DragPic& c, int hotSpot) {
    const double h = hotSpot;
    const double L = c.x - c.pdauer / 2;
    const double R = c.x + c.pdauer / 2;
    // Every bound is strict: a handle dropped exactly on a bound takes the fallback.
    switch (handle) {
        case Handle::In:
            c.pstart = L < h && h < L + c.pfadeout ? h - L : 0;
            if (c.pfadein < c.pstart) c.pfadein = c.pstart;
            break;
        case Handle::Out:
            c.pstop = h < R && L + c.pfadein < h ? h - L : c.pdauer;
            if (c.pstop < c.pfadeout) c.pfadeout = c.pstop;
            break;
        case Handle::FadeIn:
            c.pfadein = L + c.pstart < h && h < L + c.pfadeout ? h - L : c.pstart;
            break;
        case Handle::FadeOut:
            c.pfadeout = h < R && L + c.pfadein < h ? h - L : c.pdauer;
            if (c.pstop < c.pfadeout) c.pfadeout = c.pstop;
            break;
    }
}

}  // namespace editing
