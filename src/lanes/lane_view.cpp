// Lane storage: making clips and keeping them in z-order.
#include "lanes/lane_view.h"

#include "model/numtext.h"

LaneView::LaneView(QWidget* parent, const QString& name, int lane, model::Mix& mix,
                   engine::Deck& playDeck, engine::Deck& previewDeck, lanes::LaneHost& host)
    : platform::Canvas(parent, name),
      clips(mix.lane(lane)),
      mix_(mix),
      playDeck_(playDeck),
      previewDeck_(previewDeck),
      host_(host),
      lane_(lane) {}

int LaneView::indexOf(const Clip* clip) const { return mix_.indexOf(lane_, clip); }

void LaneView::addClip(const ClipRef& clip) { mix_.addClip(lane_, clip); }

void LaneView::addNewClip(platform::PictureRef image, double left, const QString& name,
                          double length, const QString& path, double lane, double fadeInEnd,
                          double fadeOutStart, double start, double stop, int32_t label) {
    mix_.addNewClip(lane_, std::move(image), left, name, length, path, lane, fadeInEnd,
                    fadeOutStart, start, stop, label);
}

void LaneView::bringToFront(const ClipRef& clip) {
    if (mix_.bringToFront(lane_, clip)) refreshClip(clip);
}
