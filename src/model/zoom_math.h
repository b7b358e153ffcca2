#pragma once
// Zoom arithmetic on clip values, free of any widget.

#include "model/clip.h"

namespace model {

// Multiplies a clip's length and its edit points by f (the clipboard clip's share of a zoom).
void scaleClipLengths(Clip& clip, double f);

}  // namespace model
