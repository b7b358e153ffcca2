// The four handles of the selected clip set its in point, out point, end of the fade-in or start
// of the fade-out where they are released.
#include "editing/clip_handles.h"

#include "editing/selection.h"

namespace editing {

void releaseHandleAt(model::Mix& mix, EditHost& host, model::Handle handle, int hotSpot) {
    if (const model::ClipRef clip = selectedClip(mix, host))
        model::releaseHandle(handle, *clip, hotSpot, mix.scrollX());
    mix.markSelectedClipEdited();
}

}  // namespace editing
