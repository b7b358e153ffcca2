#pragma once
// Edit menu on clips: Clear deletes the selected clip, Copy puts a copy of it into the mix's own
// clipboard clip, Paste makes a new clip from that copy where a lane was last clicked.

#include "editing/edit_host.h"
#include "model/mix.h"

namespace editing {

// The status line's word on a clip refused a place that overlaps another clip.
inline const QString kOverlapRefusedText = QStringLiteral("do not drop one track onto another");

void clearSelectedClip(model::Mix& mix, EditHost& host);
// True when the clipboard took a copy (Paste may be chosen from now on).
bool copySelectedClip(model::Mix& mix, const EditHost& host);
void pasteClipboardClip(model::Mix& mix, EditHost& host);

}  // namespace editing
