#pragma once
// The decks' tick timer: fires every period straight from its timer event (no signal in
// between, nothing allocated), and may rest or pause while a tick would change nothing.

#include <QBasicTimer>
#include <QObject>
#include <functional>

namespace engine {

class TickTimer final : public QObject {
  public:
    // `tick` runs on every firing; the timer starts at once with `periodMs`.
    TickTimer(QObject* parent, int periodMs, std::function<void()> tick);

    int period() const { return period_; }
    // Restarts the timer at the new period (at least 1 ms), ending a rest or a pause.
    void setPeriod(int ms);
    // Stops it for good: neither wake() nor pauseFor() starts it again, setPeriod() does.
    void stop();

    // With nothing to do the timer may rest: it fires no more, and costs no wake-up, until woken.
    void rest() { timer_.stop(); }
    // Ends a rest or a pause: the next firing comes after one period.
    void wake() {
        if (enabled_ && (!timer_.isActive() || pausing_)) restart();
    }
    bool resting() const { return enabled_ && !timer_.isActive(); }
    // While the next few firings would change nothing they may be left out: the next comes after
    // `ms`, then every period again; wake() ends the pause.
    void pauseFor(int ms);
    bool pausing() const { return pausing_; }

  protected:
    void timerEvent(QTimerEvent* e) override;

  private:
    void restart();

    QBasicTimer timer_;
    std::function<void()> tick_;
    int period_;
    bool enabled_ = true;
    bool pausing_ = false;
};

}  // namespace engine
