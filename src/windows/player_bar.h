#pragma once
// A control bar for a movie player: a play/pause button, a position slider and the time. It
// shows the player it is given and drives it; the player stays its owner's.

#include <QBasicTimer>
#include <QWidget>

#include "media/movie_player.h"

class QLabel;
class QSlider;
class QToolButton;

namespace windows {

class PlayerBar : public QWidget {
    Q_OBJECT
  public:
    PlayerBar(media::MoviePlayer& player, QWidget* parent);

    // What the button does: pause a playing movie, else play it (from the start once it has
    // played out).
    void togglePlay();
    // What moving the slider does: go to that point of the movie.
    void seekTo(double seconds);
    // The texts and the slider brought up to date; the bar does it itself while the movie plays,
    // so whoever starts the player calls it once.
    void refresh();

    QToolButton* playButton() const { return button_; }
    QSlider* slider() const { return slider_; }
    QLabel* timeLabel() const { return time_; }

  protected:
    void resizeEvent(QResizeEvent*) override;
    void timerEvent(QTimerEvent* e) override;

  private:
    void layOut();

    media::MoviePlayer& player_;
    QToolButton* button_;
    QSlider* slider_;
    QLabel* time_;
    QBasicTimer refresh_;
};

}  // namespace windows
