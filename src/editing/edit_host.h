#pragma once
// What the edit commands need from the window that shows the mix: the lanes' pressed clips, the
// status line, the decks and clip pictures. The commands change the mix themselves; its views
// follow it.

#include <QString>
#include <cstdint>

#include "model/clip.h"
#include "model/picture.h"
#include "model/status_line.h"

namespace editing {

// What a drop on a lane needs to lay its clip.
class DropHost {
  public:
    // Refusals and failures are said in `statusLine`.
    explicit DropHost(model::StatusLine& statusLine) : statusLine_(statusLine) {}
    virtual ~DropHost() = default;

    model::StatusLine& statusLine() const { return statusLine_; }

    // The play deck is sounding the clip on one of its lanes.
    virtual bool soundingOnPlayDeck(const model::ClipRef& clip) const = 0;

    // The picture of a clip with these edit points and file label; nullptr once the user has
    // been told why it could not be made.
    virtual model::PictureRef makeClipPicture(const QString& name, double duration,
                                              double fadeInEnd, double fadeOutStart, double start,
                                              double stop, int32_t label) = 0;

  private:
    model::StatusLine& statusLine_;
};

// What the commands on the selected clip and the keys need besides.
class EditHost : public DropHost {
  public:
    using DropHost::DropHost;

    // The clip lane n (1 or 2) shows as pressed, nullptr when none.
    virtual model::ClipRef pressedClip(int lane) const = 0;

    // Lane n keeps no pressed clip: its handles go and its pictures are drawn plain.
    virtual void clearLaneSelection(int lane) = 0;

    // Starts or stops the preview head.
    virtual void togglePreview() = 0;
    // Exports the mix as a movie.
    virtual void exportMix() = 0;
};

}  // namespace editing
