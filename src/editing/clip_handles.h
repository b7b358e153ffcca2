#pragma once
// Releasing one of the selected clip's four handles writes its point into the clip.

#include "editing/edit_host.h"
#include "model/handle_logic.h"
#include "model/mix.h"

namespace editing {

// The handle was let go with its hot spot at window x hotSpot: the selected clip, if any, takes
// the point there, and its handles and picture follow.
void releaseHandleAt(model::Mix& mix, EditHost& host, model::Handle handle, int hotSpot);

}  // namespace editing
