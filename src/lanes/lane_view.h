#pragma once
// A lane: a widget that draws one lane of the mix over its backdrop (its clips in z-order, index
// 0 at the bottom, the last on top), hit-tests them and drags them, and takes drops.

#include <QString>
#include <QWidget>
#include <vector>

#include "engine/deck.h"
#include "lanes/lane_host.h"
#include "model/clip.h"
#include "model/mix.h"
#include "model/status_line.h"
#include "platform/dragdrop.h"
#include "platform/pointer_crossing.h"

class LaneView : public QWidget {
    Q_OBJECT
  public:
    // The play deck's clips cannot be dragged while they sound; a release on the preview deck's
    // lane makes it load the lane's clips again. A pressed clip's name, and why a released one
    // went back, show in the status line.
    LaneView(QWidget* parent, int lane, model::Mix& mix, engine::Deck& playDeck,
             engine::Deck& previewDeck, lanes::LaneHost& host, model::StatusLine& statusLine);
    ~LaneView() override;

    int lane() const { return lane_; }

    model::PictureRef backdrop() const { return backdrop_; }
    void setBackdrop(model::PictureRef picture);

    // The left button pressed, dragged and released at x, y in the lane. A press that returns
    // true is followed by the drag steps and the release.
    bool pressAt(int x, int y);
    void dragTo(int x, int y);
    void releaseAt(int x, int y);

    // Adds the clip unless this very object is already on the lane; marks the document changed.
    void addClip(const model::ClipRef& clip);
    void addNewClip(double left, model::ClipFields spec);
    void drawClips(model::Graphics& g, double x, double y, double w, double h);
    model::ClipRef clipAt(double x, double y) const;
    void prepareBuffer();
    void bringToFront(const model::ClipRef& clip);
    model::ClipRef clipUnder(double x) const;
    void showHandles();
    void clearSelection();
    void redrawPictures();

    const std::vector<model::ClipRef>& clips;  // the model's lane, drawn here
    model::ClipRef draggedClip;
    model::PictureRef backBuffer;
    int32_t lastMouseX = 0;
    int32_t dragToDelete = 0;
    double pressCentre = 0;

    // Index of the clip in clips, -1 when it is not on this lane.
    int indexOf(const model::Clip* clip) const;

  signals:
    // The four edit handles and their guide lines stand at the clip on this lane, whose top is
    // laneTop, and the edits that need a selected clip are enabled.
    void handlesShown(const model::Clip& clip, int laneTop);
    // The handles and guide lines go out of sight, and the edits that need a clip grey out.
    void handlesHidden();

  protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dragLeaveEvent(QDragLeaveEvent* e) override;
    void dropEvent(QDropEvent* e) override;

  private:
    bool soundingOnPlayDeck(const model::ClipRef& clip) const;
    // The play head in the lane: its place on the timeline less the scroll.
    double playHeadX() const;
    // Draws the area of the lane a paint event asks for from the offscreen buffer.
    void draw(model::Graphics& g, const QRect& area);
    // From pressAt: this press is the lane's own even though it wants no drag steps or release,
    // so it does not go on to the window as a click on the background.
    void keepPressFromWindow() { keepPress_ = true; }

    model::PictureRef backdrop_;
    bool tracking_ = false;
    bool keepPress_ = false;
    platform::PointerCrossing crossing_;
    platform::DropAcceptance drops_;

    model::Mix& mix_;
    engine::Deck& playDeck_;
    engine::Deck& previewDeck_;
    lanes::LaneHost& host_;
    model::StatusLine& statusLine_;
    int lane_;
};
