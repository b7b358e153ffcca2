#pragma once
// One of the selected clip's four handles: a small black triangle that the user presses, drags
// sideways and releases to set the clip's in point, out point, fade-in end or fade-out start.

#include <QWidget>

#include "model/handle_logic.h"

class ClipHandle : public QWidget {
    Q_OBJECT
  public:
    // Which way the triangle's tip points.
    enum class Pointing { Left, Right, Down };

    ClipHandle(QWidget* parent, model::Handle which, Pointing pointing);

    model::Handle which() const { return which_; }

  signals:
    // Mouse x in the handle's own coordinates; a drag reports each move while the button is held.
    void pressed(int x);
    void dragged(int x);
    void released();

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

  private:
    model::Handle which_;
    Pointing pointing_;
    bool tracking_ = false;
};
