#include "model/mix.h"

#include <algorithm>

#include "media/clip_movie.h"
#include "model/numtext.h"
#include "model/zoom_math.h"

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
    mutableLane(n).push_back(clip);
    markChanged();
    emit lanesChanged(n == 2 ? 2 : 1);
}

ClipRef Mix::addNewClip(int n, double left, ClipFields spec) {
    auto clip = std::make_shared<Clip>();
    clip->image = std::move(spec.image);
    clip->centre = (left + spec.lengthPx / 2) + scrollX_;
    clip->name = std::move(spec.name);
    clip->lengthPx = spec.lengthPx;
    clip->path = std::move(spec.path);
    clip->inPoint = spec.inPoint;
    clip->outPoint = spec.outPoint.value_or(spec.lengthPx);
    clip->fadeInEnd = spec.fadeInEnd;
    clip->fadeOutStart = spec.fadeOutStart.value_or(spec.lengthPx);
    clip->playStart = 0;
    clip->previewStart = 0;
    clip->lane = spec.lane;
    clip->label = spec.label;
    if (!clip->path.isEmpty()) clip->movie = media::clipMovie(clip->path);
    // A clip made just now cannot be on the lane yet: no search, so a long playlist loads in
    // linear time.
    mutableLane(n).push_back(clip);
    markChanged();
    emit lanesChanged(n == 2 ? 2 : 1);
    return clip;
}

bool Mix::bringToFront(int n, const ClipRef& clip) {
    const int i = clip ? indexOf(n, clip.get()) : -1;
    if (i < 0) return false;
    std::vector<ClipRef>& clips = mutableLane(n);
    clips.erase(clips.begin() + i);
    clips.push_back(clip);
    emit lanesChanged(n == 2 ? 2 : 1);
    return true;
}

ClipRef Mix::takeClip(int n, int i) {
    std::vector<ClipRef>& clips = mutableLane(n);
    if (i < 0 || i >= static_cast<int>(clips.size())) return nullptr;
    ClipRef clip = clips[i];
    clips.erase(clips.begin() + i);
    emit lanesChanged(n == 2 ? 2 : 1);
    return clip;
}

void Mix::deleteClip(int n, int i) {
    const ClipRef clip = takeClip(n, i);
    if (!clip) return;
    markChanged();
    emit clipDeleted(clip->name);
}

void Mix::shiftClipsRight(double delta, double from) {
    for (std::vector<ClipRef>& clips : lanes_) {
        for (int i = static_cast<int>(clips.size()) - 1; i >= 0; --i) {
            if (clips[i]->centre > from) clips[i]->centre += delta;
        }
    }
    emit lanesChanged(1);
    emit lanesChanged(2);
}

void Mix::swapClipsFrom(double from) {
    auto move = [from](std::vector<ClipRef>& src, std::vector<ClipRef>& dst, int n) {
        for (int i = static_cast<int>(src.size()) - 1; i >= 0; --i) {
            ClipRef c = src[i];
            if (c->centre >= from && c->lane == n) {
                dst.push_back(c);
                src.erase(src.begin() + i);
            }
        }
    };
    move(lanes_[0], lanes_[1], 1);
    move(lanes_[1], lanes_[0], 2);
    for (auto& c : lanes_[0]) c->lane = 1;
    for (auto& c : lanes_[1]) c->lane = 2;
    emit lanesChanged(1);
    emit lanesChanged(2);
}

void Mix::reverseStacking() {
    for (std::vector<ClipRef>& clips : lanes_) std::reverse(clips.begin(), clips.end());
    emit lanesChanged(1);
    emit lanesChanged(2);
}

void Mix::clipsEdited(int n) { emit lanesChanged(n == 2 ? 2 : 1); }

void Mix::markSelectedClipEdited() {
    emit lanesChanged(selection_ && selection_->lane == 2 ? 2 : 1);
    emit selectedClipEdited();
}

void Mix::scaleTimeline(double f, const std::function<PictureRef(const Clip&)>& redraw) {
    if (clipboardClip_) scaleClipLengths(*clipboardClip_, f);
    // The paste target keeps its place in time on either lane.
    if (pasteTarget_) pasteTarget_->timelineX *= f;
    for (std::vector<ClipRef>& clips : lanes_) {
        for (const ClipRef& clip : clips) {
            Clip& c = *clip;
            c.centre *= f;
            scaleClipLengths(c, f);
            c.playStart *= f;
            c.previewStart *= f;
            c.image = redraw(c);
        }
    }
    emit lanesChanged(1);
    emit lanesChanged(2);
}

void Mix::select(int n, int index) {
    selection_ = ClipSelection{n, index};
    emit selectionChanged();
}

void Mix::clearSelection() {
    selection_.reset();
    emit selectionChanged();
}

void Mix::setClipboardClip(ClipRef clip) { clipboardClip_ = std::move(clip); }

void Mix::setPasteTarget(std::optional<PasteTarget> target) { pasteTarget_ = target; }

void Mix::setDefaultTransition(double seconds) { defaultTransition_ = seconds; }

void Mix::setZoom(float pixels) {
    pixelsPerSecond_ = pixels;
    emit viewChanged();
}

void Mix::setScrollX(float x) {
    scrollX_ = x;
    emit viewChanged();
}

void Mix::setPath(const QString& path) { document_.path = path; }

void Mix::markChanged() {
    if (!document_.saved) return;
    document_.saved = false;
    emit documentChanged();
}

void Mix::markSaved() {
    document_.saved = true;
    emit documentChanged();
}

void Mix::keepRecord(QByteArrayView line) { document_.keptRecords.add(line); }

void Mix::forgetKeptRecords() { document_.keptRecords.clear(); }

}  // namespace model
