#pragma once
// A clip on a lane. Every length and position is in timeline pixels (seconds x zoom); the four
// edit points and the two start offsets are measured from the clip's left edge.

#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>

#include "model/picture.h"

namespace media {
class ClipMovie;
}

namespace model {

// What a new clip is made of, in timeline pixels; the edit points are measured from its left edge
// as in Clip. Call sites name each field, so an in point cannot pass for a fade-in end. Left out,
// the points make a clip heard whole: in at 0, no fade-in, out and fade-out start at its length.
struct ClipFields {
    model::PictureRef image;
    QString name;
    QString path;
    double lengthPx = 0;
    double inPoint = 0;
    std::optional<double> outPoint;  // none: lengthPx
    double fadeInEnd = 0;
    std::optional<double> fadeOutStart;  // none: lengthPx
    int32_t label = 0;
    int32_t lane = 0;  // the lane the clip names as its own
};

// Every clip stands at the same height: its picture's vertical centre on the lane.
inline constexpr int32_t kClipCentreY = 16;

struct Clip {
    model::PictureRef image;  // lengthPx (whole pixels, at least 1) wide, 30 high
    QString name;             // display name
    QString path;             // absolute path of the media file
    double lengthPx = 0;      // length: the whole media duration
    double inPoint = 0;       // in point
    double outPoint = 0;      // out point
    double fadeInEnd = 0;     // end of the fade-in ramp
    double fadeOutStart = 0;  // start of the fade-out ramp
    int32_t label = 0;        // file label 0..7, colours the name
    double playStart = 0;     // offset where the play deck starts the clip
    double previewStart = 0;  // offset where the preview deck starts the clip
    int32_t lane = 0;         // lane: 1 or 2
    double centre = 0;        // absolute centre on the timeline, not scrolled
    // The file opened as a movie, once, off the user-interface thread; shared by every clip of
    // the file. nullptr until a lane takes the clip.
    std::shared_ptr<media::ClipMovie> movie;

    // Where the centre stands on a lane scrolled by scrollX, exactly: a clip's place is never
    // rounded, so what plays, what is saved and what is exported agree to the sample; drawing
    // takes whole pixels from it.
    double visibleCentre(double scrollX) const { return centre - scrollX; }
    // The left edge on a lane scrolled by scrollX.
    double visibleLeft(double scrollX) const { return visibleCentre(scrollX) - lengthPx / 2; }

    // The left edge on the timeline, exactly (not the whole pixel it is drawn at): the export
    // places the clip's sound there, and so does playback.
    double timelineLeft() const { return centre - lengthPx / 2; }

    // Whether a point t pixels from the left edge lies inside the fade-in or fade-out ramp, where
    // the clip's volume changes from one step to the next.
    bool fadingIn(double t) const { return inPoint < t && t < fadeInEnd; }
    bool fadingOut(double t) const { return fadeOutStart < t && t < outPoint; }
    // The places, from the left edge, where what the clip sounds may change: its edges, the in
    // and out points and the ends of the fades.
    std::array<double, 6> marks() const {
        return {0.0, inPoint, fadeInEnd, fadeOutStart, outPoint, lengthPx};
    }
};

using ClipRef = std::shared_ptr<Clip>;

}  // namespace model
