#pragma once
// The movie player control: an invisible control that plays a movie's sound.
// Until the sound layer is wired in it keeps the transport state only and never sounds.

#include "platform/control.h"

namespace platform {

class MoviePlayer : public Control {
    Q_OBJECT
  public:
    MoviePlayer(QWidget* parent, const QString& name) : Control(parent, name) { hide(); }

    double Rate() const { return 0; }
    double Position() const { return position_; }
    void setPosition(double s) { position_ = s; }
    int Volume() const { return volume_; }
    void setVolume(int v) { volume_ = v < 0 ? 0 : v > 256 ? 256 : v; }
    void Play() {}
    void Stop() {}
    void setMovie(std::nullptr_t) {}

  private:
    double position_ = 0;
    int volume_ = 256;
};

}  // namespace platform
