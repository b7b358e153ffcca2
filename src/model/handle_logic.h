#pragma once
// Widget-free rules of the four clip handles: the window column each handle points at, and what
// releasing a handle there writes into the clip.

#include "model/clip.h"

namespace model {

enum class Handle { In, Out, FadeIn, FadeOut };

// The window x a handle marks, from its left edge and width.
int handleHotSpot(Handle handle, int left, int width);

// Writes the point of a handle released at window x h into the clip on a lane scrolled by
// scrollX. A place strictly inside the
// handle's range takes h - (the clip's left edge); any other place takes the fallback (the clip's
// start for the in point, its end for the out point, the in point for the fade-in end, the out
// point for the fade-out start). A neighbouring point is pulled along where the order
// 0 <= inPoint <= fadeInEnd <= fadeOutStart <= outPoint <= lengthPx needs it.
void releaseHandle(Handle handle, Clip& clip, int h, double scrollX);

}  // namespace model
