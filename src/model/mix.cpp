#include "model/mix.h"

#include "media/clip_movie.h"
#include "model/numtext.h"

namespace model {

int Mix::indexOf(int n, const Clip* clip) const {
    const std::vector<ClipRef>& clips = lane(n);
    for (int i = static_cast<int>(clips.size()) - 1; i >= 0; --i) {
        if (clips[i].get() == clip) return i;
    }
    return -1;
}

void Mix::addClip(int n, const ClipRef& clip) {
    if (!clip || indexOf(n, clip.get()) >= 0) return;
    if (!clip->movie && !clip->path.isEmpty()) clip->movie = media::clipMovie(clip->path);
    lane(n).push_back(clip);
    document.saved = false;
}

ClipRef Mix::addNewClip(int n, model::PictureRef image, double left, const QString& name,
                        double length, const QString& path, double clipLane, double fadeInEnd,
                        double fadeOutStart, double start, double stop, int32_t label) {
    auto clip = std::make_shared<Clip>();
    clip->image = std::move(image);
    clip->centre = (left + length / 2) + scrollX;
    clip->name = name;
    clip->lengthPx = length;
    clip->path = path;
    clip->inPoint = start;
    clip->outPoint = stop;
    clip->fadeInEnd = fadeInEnd;
    clip->fadeOutStart = fadeOutStart;
    clip->playStart = 0;
    clip->previewStart = 0;
    clip->lane = whole(clipLane);
    clip->label = label;
    if (!path.isEmpty()) clip->movie = media::clipMovie(path);
    // A clip made just now cannot be on the lane yet: no search, so a long playlist loads in
    // linear time.
    lane(n).push_back(clip);
    document.saved = false;
    return clip;
}

bool Mix::bringToFront(int n, const ClipRef& clip) {
    const int i = clip ? indexOf(n, clip.get()) : -1;
    if (i < 0) return false;
    std::vector<ClipRef>& clips = lane(n);
    clips.erase(clips.begin() + i);
    clips.push_back(clip);
    return true;
}

}  // namespace model
