// Lane storage: making clips and keeping them in z-order.
#include "lanes/lane_view.h"

#include "media/clip_movie.h"
#include "model/numtext.h"
#include "shell/main_window.h"

LaneView::LaneView(QWidget* parent, const QString& name, int lane, std::vector<ClipRef>& clips)
    : platform::Canvas(parent, name), clips(clips), lane_(lane) {}

MainWindow* LaneView::win() const { return MainWindow::existing(); }

int LaneView::indexOf(const Clip* clip) const {
    for (int i = static_cast<int>(clips.size()) - 1; i >= 0; --i) {
        if (clips[i].get() == clip) return i;
    }
    return -1;
}

void LaneView::addClip(const ClipRef& clip) {
    if (!clip || indexOf(clip.get()) >= 0) return;
    // Opened now on the worker, long before a head reaches the clip.
    if (!clip->movie && !clip->path.isEmpty()) clip->movie = media::clipMovie(clip->path);
    clips.push_back(clip);
    if (MainWindow* w = win()) w->mix.document.saved = 0;
}

void LaneView::addNewClip(platform::PictureRef image, double left, double y, const QString& name,
                          double length, const QString& path, double lane, double fadeInEnd,
                          double fadeOutStart, double start, double stop, int32_t label) {
    auto clip = std::make_shared<Clip>();
    clip->image = std::move(image);
    clip->x = left + length / 2;
    clip->centre = clip->x + (win() ? win()->mix.scrollX : 0.0f);
    clip->y = whole(y);
    clip->name = name;
    clip->lengthPx = length;
    clip->path = path;
    clip->inPoint = start;
    clip->outPoint = stop;
    clip->fadeInEnd = fadeInEnd;
    clip->fadeOutStart = fadeOutStart;
    clip->playStart = 0;
    clip->previewStart = 0;
    clip->lane = whole(lane);
    clip->label = label;
    if (!path.isEmpty()) clip->movie = media::clipMovie(path);  // as in addClip
    // A clip made just now cannot be on the lane yet: no search, so a long playlist loads in
    // linear time.
    clips.push_back(std::move(clip));
    if (MainWindow* w = win()) w->mix.document.saved = 0;
}

void LaneView::bringToFront(const ClipRef& clip) {
    const int i = clip ? indexOf(clip.get()) : -1;
    if (i < 0) return;
    clips.erase(clips.begin() + i);
    clips.push_back(clip);
    refreshClip(clip);
}
