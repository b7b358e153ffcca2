#pragma once
// Little arrows: an up and a down arrow button stacked in one small control. A press on the
// upper half steps up, on the lower half down; holding the press repeats the step.

#include <QTimer>
#include <QWidget>

namespace windows {

class LittleArrows : public QWidget {
    Q_OBJECT
  public:
    explicit LittleArrows(QWidget* parent);

  signals:
    void steppedUp();
    void steppedDown();

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

}  // namespace windows
