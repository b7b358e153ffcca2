// Lane storage: making clips and keeping them in z-order.
#include "lanes/dragcanvas.h"

#include "media/clip_movie.h"
#include "platform/numtext.h"
#include "shell/window1.h"

DragCanvas::DragCanvas(QWidget* parent, const QString& name, int lane)
    : platform::Canvas(parent, name), lane_(lane) {}

Window1* DragCanvas::win() const { return Window1::existing(); }

int DragCanvas::indexOf(const DragPic* clip) const {
    for (int i = static_cast<int>(mPics.size()) - 1; i >= 0; --i) {
        if (mPics[i].get() == clip) return i;
    }
    return -1;
}

void DragCanvas::AddPic(const DragPicRef& clip) {
    if (!clip || indexOf(clip.get()) >= 0) return;
    // Opened now on the worker, long before a head reaches the clip.
    if (!clip->movie && !clip->ppfad.isEmpty()) clip->movie = media::clipMovie(clip->ppfad);
    mPics.push_back(clip);
    if (Window1* w = win()) w->suddensaveflag = 0;
}

void DragCanvas::AddPicture(platform::PictureRef image, double left, double y, const QString& name,
                            double dauer, const QString& path, double lane, double fadein,
                            double fadeout, double start, double stop, int32_t label) {
    auto clip = std::make_shared<DragPic>();
    clip->image = std::move(image);
    clip->x = left + dauer / 2;
    clip->porgx = clip->x + (win() ? win()->scrollwert : 0.0f);
    clip->y = whole(y);
    clip->pname = name;
    clip->pdauer = dauer;
    clip->ppfad = path;
    clip->pstart = start;
    clip->pstop = stop;
    clip->pfadein = fadein;
    clip->pfadeout = fadeout;
    clip->pplaypos = 0;
    clip->ppreviewpos = 0;
    clip->spur = whole(lane);
    clip->pfarbe = label;
    if (!path.isEmpty()) clip->movie = media::clipMovie(path);  // as in AddPic
    // A clip made just now cannot be on the lane yet: no search, so a long playlist loads in
    // linear time.
    mPics.push_back(std::move(clip));
    if (Window1* w = win()) w->suddensaveflag = 0;
}

void DragCanvas::BringToFront(const DragPicRef& clip) {
    const int i = clip ? indexOf(clip.get()) : -1;
    if (i < 0) return;
    mPics.erase(mPics.begin() + i);
    mPics.push_back(clip);
    RefreshPic(clip);
}
