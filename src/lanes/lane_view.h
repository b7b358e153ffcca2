#pragma once
// A lane: a canvas that draws one lane of the mix (its clips in z-order, index 0 at the bottom,
// the last on top), hit-tests them and drags them.

#include <QString>
#include <vector>

#include "engine/deck.h"
#include "lanes/lane_host.h"
#include "model/clip.h"
#include "model/mix.h"
#include "platform/controls.h"

class LaneView : public platform::Canvas {
    Q_OBJECT
  public:
    // The play deck's clips cannot be dragged while they sound; a release on the preview deck's
    // lane makes it load the lane's clips again.
    LaneView(QWidget* parent, const QString& name, int lane, model::Mix& mix,
             engine::Deck& playDeck, engine::Deck& previewDeck, lanes::LaneHost& host);

    int lane() const { return lane_; }

    // Events.
    void MouseUp(int x, int y) override;
    void MouseDrag(int x, int y) override;
    bool MouseDown(int x, int y) override;
    void Paint(platform::Graphics& g) override;

    // Adds the clip unless this very object is already on the lane; marks the document changed.
    void addClip(const ClipRef& clip);
    void addNewClip(platform::PictureRef image, double left, const QString& name, double length,
                    const QString& path, double lane, double fadeInEnd, double fadeOutStart,
                    double start, double stop, int32_t label);
    void Redraw(platform::Graphics& g, double x, double y, double w, double h);
    ClipRef clipAt(double x, double y) const;
    void prepareBuffer();
    void bringToFront(const ClipRef& clip);
    void refreshClip(const ClipRef& clip);
    ClipRef clipUnder(double x) const;
    void refreshAll();
    void showHandles();
    void clearSelection();
    void redrawPictures();

    std::vector<ClipRef>& clips;  // the model's lane, drawn here
    ClipRef draggedClip;
    platform::PictureRef backBuffer;
    int32_t lastMouseX = 0;
    int32_t dragToDelete = 0;
    double pressCentre = 0;

    // Index of the clip in clips, -1 when it is not on this lane.
    int indexOf(const Clip* clip) const;

  private:
    bool soundingOnPlayDeck(const ClipRef& clip) const;

    model::Mix& mix_;
    engine::Deck& playDeck_;
    engine::Deck& previewDeck_;
    lanes::LaneHost& host_;
    int lane_;
};

namespace lanes {
// Every clip of both lanes whose centre lies right of `from` (on the timeline) moves by delta.
void shiftClipsRight(LaneView& lane1, LaneView& lane2, double delta, double from);
// Every clip whose centre lies at or right of `from` (on the timeline) goes to the other lane,
// laid above the clips there.
void swapClipsFrom(LaneView& lane1, LaneView& lane2, double from);
}  // namespace lanes
