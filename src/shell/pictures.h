#pragma once
// The program's eight pictures, each loaded on first use and kept (shared by every control that
// shows it). A missing picture gives nullptr and is looked up again on the next call.

#include <QString>
#include <functional>

#include "model/picture.h"

platform::PictureRef laneBackdropPicture();        // lane backdrop
platform::PictureRef findPreviewHeadPicture();     // icon of "find preview position"
platform::PictureRef findPlayHeadPicture();        // icon of "find play position"
platform::PictureRef playButtonPicture();          // play button, deck stopped
platform::PictureRef pauseButtonPicture();         // play button, deck running
platform::PictureRef previewButtonPicture();       // preview button, deck stopped
platform::PictureRef previewPauseButtonPicture();  // preview button, deck running
platform::PictureRef laneHighlightPicture();       // lane backdrop while a drag hovers over it

namespace pictures {
// The store the pictures come from, by id 168-175; tests replace it to count loads.
using Loader = std::function<platform::PictureRef(int id)>;
void setLoader(Loader loader);
void resetCache();
platform::PictureRef loadResource(int id);
}  // namespace pictures
