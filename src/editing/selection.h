#pragma once
// The selected clip, as every edit command finds it.

#include "editing/edit_host.h"
#include "model/mix.h"

namespace editing {

// The clip at the selection's index on the selection's lane, and only while it is the clip whose
// handles and picture that lane shows. An index that names no clip of the lane, or another clip
// than the one last pressed there (clips moved, swapped or dropped since the selection was
// made), is no selection: nullptr.
model::ClipRef selectedClip(const model::Mix& mix, const EditHost& host);

}  // namespace editing
