#pragma once
// The selected clip, as every edit command finds it.

#include "model/clip.h"

class MainWindow;

namespace editing {

// The clip at the selection's index on the selection's lane, and only while it is the clip whose
// handles and picture that lane shows. An index that names no clip of the lane, or another clip
// than the one last pressed there (clips moved, swapped or dropped since the selection was
// made), is no selection: nullptr.
ClipRef selectedClip(const MainWindow& w);

// The play deck is sounding the clip on one of its lanes: it may be neither deleted nor moved.
bool soundingOnPlayDeck(const MainWindow& w, const ClipRef& clip);

}  // namespace editing
