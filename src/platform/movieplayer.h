#pragma once
// The movie player control: an invisible control that plays a movie's sound through the media
// layer's player, in the framework's names.

#include "media/movie_player.h"
#include "platform/control.h"

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

  private:
    media::MoviePlayer player_;
};

}  // namespace platform
