#pragma once
// A drop on a lane becomes a clip: a clip carried over from the other lane (moved, or copied with
// Option), or a media file given as a file, as a file URL or path in text, or as a music library's
// track. No clip may take a place that overlaps one already on the lane.

#include <QString>

#include "editing/edit_host.h"
#include "model/mix.h"
#include "platform/dragdrop.h"

namespace editing {

// Declares what a lane takes: the program's own clip drags, media files, text and library tracks.
void acceptLaneDrops(platform::DropAcceptance& lane);

// Lays what the drop on lane n (1 or 2) carries onto it, then no clip is selected any more. A
// failure is said on the status line. True when a clip was laid.
bool takeLaneDrop(model::Mix& mix, DropHost& host, int lane, const platform::DragItem& item);

// The file a track dragged out of a music library names; "" when the drag carries none.
QString libraryTrackPath(const platform::DragItem& item);

// The clip name of a dropped file, from the ID3v1 tag of the file at path.
QString droppedClipName(const QString& fileName, const QString& path);

}  // namespace editing
