#pragma once
// A deck: one head running over the two lanes with a movie player per lane. The main window has
// two, the play deck and the preview deck; the tick, the transport and the mouse work on either
// through this one type. What differs between the two is data: the step's traits.
//
// The deck keeps its state as plain values (running or not, the head on the timeline, the time
// each lane shows) and signals when they change; what shows them lives in the layers above and
// reads them back.

#include <QObject>
#include <array>
#include <limits>
#include <optional>

#include "media/movie_player.h"
#include "model/clip.h"
#include "model/deck_step.h"

namespace engine {

class Deck final : public QObject {
    Q_OBJECT
  public:
    // `newStartForgetsClips`: taking new start offsets forgets the loaded clips, so the next
    // tick starts them again (the play deck); otherwise what sounds stays (the preview deck).
    Deck(const model::DeckTraits& traits, bool newStartForgetsClips)
        : traits(traits), newStartForgetsClips(newStartForgetsClips) {}

    const model::DeckTraits& traits;
    const bool newStartForgetsClips;

    bool running() const { return running_; }
    void setRunning(bool running);
    // The head on the timeline, in timeline pixels: where it stands whatever the scroll.
    double head() const { return head_; }
    void setHead(double timelineX);
    // Per lane: the seconds of the clip sounding there, or nothing while none sounds.
    using LaneTimes = std::array<std::optional<double>, 2>;
    const LaneTimes& laneTimes() const { return laneTimes_; }
    void setLaneTimes(const LaneTimes& times);
    // Forgets what the lanes showed (a new document).
    void clearLaneTimes();

    // Where the last step found the head on the timeline (none before the deck's first step):
    // a clip whose start it had reached by then starts where the head stands.
    double headAtLastStep = -std::numeric_limits<double>::infinity();
    std::array<media::MoviePlayer, 2> players;  // per lane
    std::array<model::ClipRef, 2> current;      // per lane: the clip now loaded in the player
    std::array<model::ClipRef, 2> last;         // per lane: the clip started last
    // The clip is loaded in one of the players (a user may not move or change it).
    bool holds(const model::ClipRef& clip) const {
        return clip && (clip == current[0] || clip == current[1]);
    }

    // Forgets the clips it played, without stopping anything.
    void forgetClips();

  signals:
    void runningChanged(bool running);
    void headMoved();
    // A step gave the lanes' times (every step gives them, changed or not).
    void laneTimesChanged();
    void laneTimesCleared();

  private:
    bool running_ = false;
    double head_ = 0;
    LaneTimes laneTimes_;
};

}  // namespace engine
