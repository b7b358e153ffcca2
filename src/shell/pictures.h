#pragma once
// The program's eight pictures, each loaded on first use and kept (shared by every control that
// shows it). A missing picture gives nullptr and is looked up again on the next call.

#include <QString>
#include <functional>

#include "model/picture.h"

model::PictureRef laneBackdropPicture();        // lane backdrop
model::PictureRef findPreviewHeadPicture();     // icon of "find preview position"
model::PictureRef findPlayHeadPicture();        // icon of "find play position"
model::PictureRef playButtonPicture();          // play button, deck stopped
model::PictureRef pauseButtonPicture();         // play button, deck running
model::PictureRef previewButtonPicture();       // preview button, deck stopped
model::PictureRef previewPauseButtonPicture();  // preview button, deck running
model::PictureRef laneHighlightPicture();       // lane backdrop while a drag hovers over it

namespace pictures {
// The store the pictures come from, by id 168-175; tests replace it to count loads.
using Loader = std::function<model::PictureRef(int id)>;
void setLoader(Loader loader);
void resetCache();
model::PictureRef loadResource(int id);
}  // namespace pictures
