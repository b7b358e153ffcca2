#pragma once
// The program's eight pictures, each loaded on first use and kept (shared by every control that
// shows it). A missing picture gives nullptr and is looked up again on the next call.

#include <QString>
#include <functional>

#include "platform/picture.h"

platform::PictureRef spur();          // lane backdrop
platform::PictureRef prevbuttonic();  // icon of "find preview position"
platform::PictureRef playbuttonic();  // icon of "find play position"
platform::PictureRef playb();         // play button, deck stopped
platform::PictureRef pauseb();        // play button, deck running
platform::PictureRef prevplayb();     // preview button, deck stopped
platform::PictureRef prevpauseb();    // preview button, deck running
platform::PictureRef spurhell();      // lane backdrop while a drag hovers over it

namespace pictures {
// The store the pictures come from, by id 168-175; tests replace it to count loads.
using Loader = std::function<platform::PictureRef(int id)>;
void setLoader(Loader loader);
void resetCache();
platform::PictureRef loadResource(int id);
}  // namespace pictures
