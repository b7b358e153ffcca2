#pragma once
// A lane: a canvas that owns its clips in z-order (index 0 at the bottom, the last on top) and
// draws, hit-tests and drags them.

#include <QString>
#include <vector>

#include "lanes/dragpic.h"
#include "platform/controls.h"

class Window1;

class DragCanvas : public platform::Canvas {
    Q_OBJECT
  public:
    DragCanvas(QWidget* parent, const QString& name, int lane);

    int lane() const { return lane_; }

    // Events.
    void MouseUp(int x, int y) override;
    void MouseDrag(int x, int y) override;
    bool MouseDown(int x, int y) override;
    void Paint(platform::Graphics& g) override;

    // Adds the clip unless this very object is already on the lane; marks the document changed.
    void AddPic(const DragPicRef& clip);
    void AddPicture(platform::PictureRef image, double left, double y, const QString& name,
                    double dauer, const QString& path, double lane, double fadein, double fadeout,
                    double start, double stop, int32_t label);
    void Redraw(platform::Graphics& g, double x, double y, double w, double h);
    DragPicRef PicHit(double x, double y) const;
    void PrepareBuffer();
    void BringToFront(const DragPicRef& clip);
    void RefreshPic(const DragPicRef& clip);
    DragPicRef LineHit(double x) const;
    void aktualisiere();
    void aktivierebalken();
    void versteckebalken();
    QString collectspurtracks() const;
    void imgredraw();

    std::vector<DragPicRef> mPics;
    DragPicRef mDragging;
    platform::PictureRef mBuffer;
    int32_t mLastX = 0;
    double mDownLastX = 0;
    int32_t pdragtodelete = 0;
    double mdownlastorgx = 0;

    // Index of the clip in mPics, -1 when it is not on this lane.
    int indexOf(const DragPic* clip) const;

  private:
    Window1* win() const;
    int lane_;
};
