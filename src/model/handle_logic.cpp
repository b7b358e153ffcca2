#include "model/handle_logic.h"

namespace model {

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

void releaseHandle(Handle handle, Clip& c, int hotSpot, double scrollX) {
    const double h = hotSpot;
    const double L = c.visibleLeft(scrollX);
    const double R = c.visibleCentre(scrollX) + c.lengthPx / 2;
    // Every bound is strict: a handle dropped exactly on a bound takes the fallback.
    switch (handle) {
        case Handle::In:
            c.inPoint = L < h && h < L + c.fadeOutStart ? h - L : 0;
            if (c.fadeInEnd < c.inPoint) c.fadeInEnd = c.inPoint;
            break;
        case Handle::Out:
            c.outPoint = h < R && L + c.fadeInEnd < h ? h - L : c.lengthPx;
            if (c.outPoint < c.fadeOutStart) c.fadeOutStart = c.outPoint;
            break;
        case Handle::FadeIn:
            c.fadeInEnd = L + c.inPoint < h && h < L + c.fadeOutStart ? h - L : c.inPoint;
            break;
        case Handle::FadeOut:
            c.fadeOutStart = h < R && L + c.fadeInEnd < h ? h - L : c.lengthPx;
            if (c.outPoint < c.fadeOutStart) c.fadeOutStart = c.outPoint;
            break;
    }
}

}  // namespace model
