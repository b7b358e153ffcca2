#pragma once
// Little arrows: an up and a down arrow button stacked in one small control. A press on the
// upper half raises Up, on the lower half Down; holding the press repeats it.

#include <QTimer>
#include <functional>

#include "platform/control.h"

namespace platform {

class LittleArrows : public Control {
    Q_OBJECT
  public:
    LittleArrows(QWidget* parent, const QString& name);

    std::function<void()> onUp, onDown;
    // One step, as a click on that arrow gives.
    void Up();
    void Down();

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

  private:
    enum class Part { None, Up, Down };
    void step();

    Part pressed_ = Part::None;
    QTimer repeat_;
};

}  // namespace platform
