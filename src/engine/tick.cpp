// The 10 ms tick of the deck timer: one step of each running deck; the deck tells what shows it.
#include <QCoreApplication>
#include <QEvent>
#include <algorithm>
#include <cmath>

#include "engine/deck.h"
#include "engine/lane_player.h"
#include "engine/tick_timer.h"
#include "engine/transport.h"
#include "model/lane_logic.h"

namespace {

// The longest a playing window's tick pauses: a player that stops by itself (its file went bad)
// is noticed within this.
constexpr double kLongestPause = 0.1;

// Seconds until a head moving at `zoom` pixels a second reaches the next half pixel, and until
// a time label's whole second changes.
double untilNextHalfPixel(double head, double zoom) {
    return zoom > 0 ? (std::floor(head * 2) + 1 - head * 2) / 2 / zoom : 0;
}
double untilNextSecond(double seconds) { return std::floor(seconds) + 1 - seconds; }

// Runs one step of the deck; returns how long the tick may pause after it.
double runDeck(engine::DeckHost& host, model::StatusLine& statusLine, const model::Mix& mix,
               engine::Deck& deck) {
    engine::StepLanes step(host, statusLine, mix, deck);
    const double scrollX = mix.scrollX();
    const double headX = deck.head() - scrollX;  // the step works on the lanes as scrolled
    const double zoom = static_cast<double>(mix.pixelsPerSecond());
    const model::DeckStepResult r =
        model::deckStep(deck.traits, step.lanes, headX, scrollX, zoom, host.previewOutputDevice(),
                        deck.headAtLastStep);
    deck.headAtLastStep = deck.head();

    double pause = std::min({kLongestPause, r.quietSeconds, untilNextHalfPixel(r.head, zoom)});
    engine::Deck::LaneTimes times;
    for (int i = 0; i < 2; ++i) {
        if (!r.sounding[i]) continue;
        pause = std::min(pause, untilNextSecond(r.seconds[i]));
        times[i] = r.seconds[i];
    }
    deck.setLaneTimes(times);
    deck.setHead(r.head + scrollX);
    return pause;
}

// Sees the user's input before any widget does: a pausing tick first steps the decks, so what
// the input does (stop, set a head, move a clip) meets the heads where they are now, and the
// tick goes back to its period to follow what changes.
class TickCatchUp final : public QObject {
  public:
    TickCatchUp(engine::Transport& transport, engine::TickTimer& timer, QObject* owner)
        : QObject(owner), transport_(transport), timer_(timer) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        switch (e->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::MouseMove:
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
            case QEvent::Wheel:
            case QEvent::DragEnter:
            case QEvent::DragMove:
            case QEvent::Drop:
            case QEvent::ShortcutOverride:
                if (timer_.pausing()) {
                    transport_.tick();
                    timer_.wake();
                }
                break;
            default:
                break;
        }
        return QObject::eventFilter(watched, e);
    }

  private:
    engine::Transport& transport_;
    engine::TickTimer& timer_;
};

}  // namespace

namespace engine {

void Transport::catchUpOnInput(QObject* owner) {
    QCoreApplication::instance()->installEventFilter(new TickCatchUp(*this, timer_, owner));
}

void Transport::tick() {
    if (tickRunning_) return;
    tickRunning_ = true;
    struct Release {
        bool& flag;
        ~Release() { flag = false; }
    } release{tickRunning_};

    // Starts placed by the steps begin together: none is split from its lane's partner.
    const media::StartTogether together;
    double pause = kLongestPause;
    if (play_.running()) pause = std::min(pause, runDeck(host_, statusLine_, mix_, play_));
    if (preview_.running()) pause = std::min(pause, runDeck(host_, statusLine_, mix_, preview_));
    // With both decks stopped a tick has nothing to do: the timer rests until a deck starts, so
    // the stopped program does not wake a hundred times a second. While the next steps could
    // only repeat this one (the heads and labels stay on their pixel and second, nothing is
    // about to start, stop or fade), it pauses until the first that could change something;
    // the user's input ends the pause (TickCatchUp).
    if (!play_.running() && !preview_.running())
        timer_.rest();
    else
        timer_.pauseFor(static_cast<int>(pause * 1000));
}

}  // namespace engine
