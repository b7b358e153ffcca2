#pragma once
// The movie player control: plays a movie's sound through the media layer's player, in the
// framework's names. Invisible unless it is given a control bar.

#include <functional>

#include "media/movie_player.h"
#include "platform/control.h"

class QLabel;
class QSlider;
class QTimer;
class QToolButton;

namespace platform {

class MoviePlayer : public Control {
    Q_OBJECT
  public:
    MoviePlayer(QWidget* parent, const QString& name) : Control(parent, name) { hide(); }

    // nullptr leaves the player without a movie: silent, Rate 0.
    media::MovieRef Movie() const { return player_.movie(); }
    void setMovie(media::MovieRef m) { player_.setMovie(std::move(m)); }

    // > 0 right after Play; exactly 0 when stopped, without a movie or played out.
    double Rate() const { return player_.Rate(); }
    double Position() const { return player_.Position(); }  // seconds
    void setPosition(double s) { player_.setPosition(s); }
    int Volume() const { return player_.Volume(); }
    void setVolume(int v) { player_.setVolume(v); }  // 0..256
    void Play() { player_.Play(); }
    void Stop() { player_.Stop(); }

    media::MoviePlayer& player() { return player_; }

    // 0: no controller, the control stays invisible; 2: a visible control bar with a play/pause
    // button, a position slider and the time.
    void setController(int kind);
    // The bar's time text for a position in seconds; the default reads m:ss.
    std::function<QString(double seconds)> timeText;

    // What the bar's button does: pause a playing movie, else play it (from the start once it
    // has played out).
    void togglePlay();
    // What moving the slider does: go to that point of the movie.
    void seekTo(double seconds);
    // The bar's texts and slider brought up to date; its timer does it while the movie plays, so
    // whoever starts the player calls it once.
    void refreshBar();
    QToolButton* playButton() const { return button_; }
    QSlider* slider() const { return slider_; }
    QLabel* timeLabel() const { return time_; }

  protected:
    void resizeEvent(QResizeEvent*) override;

  private:
    media::MoviePlayer player_;
    QToolButton* button_ = nullptr;
    QSlider* slider_ = nullptr;
    QLabel* time_ = nullptr;
    QTimer* refresh_ = nullptr;
};

// Seconds as m:ss (whole seconds, truncated; negative and NaN read 0:00).
QString minutesText(double seconds);

}  // namespace platform
