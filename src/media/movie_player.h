#pragma once
// Plays a movie's sound tracks, each as a voice in the mixer of the track's output device.
// UI thread only. Rate, Position and Volume follow the rules the deck tick relies on: Rate is
// above 0 at once after Play and exactly 0 when stopped, without a movie or played out (never
// because of an underrun); Position is the mix cursor in seconds.

#include <memory>
#include <vector>

#include "media/movie.h"
#include "media/output.h"

namespace media {

namespace detail {
class Device;
}
struct Stream;

class MoviePlayer {
  public:
    MoviePlayer() = default;
    ~MoviePlayer();
    MoviePlayer(const MoviePlayer&) = delete;
    MoviePlayer& operator=(const MoviePlayer&) = delete;

    // A movie that is still sounding is faded out over one mixer block (no click).
    void setMovie(MovieRef m);
    MovieRef movie() const { return movie_; }

    void Play();
    void Stop();
    double Rate() const;
    double Position() const;
    // Between setMovie and Play, playback starts exactly at this sample; while playing, it
    // continues from there.
    void setPosition(double seconds);
    int Volume() const { return volume_; }
    void setVolume(int v);  // 0..256, clamped

    // The movie tells its players when a track is routed elsewhere.
    void trackRerouted(int trackIndex);

    // For the latency benchmark.
    testing::FirstSound firstSound() const;

  private:
    struct Voice {
        int track = 0;  // 1-based
        std::shared_ptr<detail::Device> device;
        int slot = -1;
        std::shared_ptr<Stream> stream;
        double startSeconds = 0;
    };
    Voice startVoice(int track, double at);
    void endVoices();
    void update() const;  // notices played-out voices
    double voicePosition(const Voice& v) const;

    MovieRef movie_;
    mutable std::vector<Voice> voices_;
    mutable bool playing_ = false;
    mutable double position_ = 0;  // where playback starts, or where it ended
    int volume_ = 256;
};

}  // namespace media
