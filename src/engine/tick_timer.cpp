#include "engine/tick_timer.h"

#include <QTimerEvent>

namespace engine {

TickTimer::TickTimer(QObject* parent, int periodMs, std::function<void()> tick)
    : QObject(parent), tick_(std::move(tick)), period_(periodMs < 1 ? 1 : periodMs) {
    restart();
}

void TickTimer::setPeriod(int ms) {
    period_ = ms < 1 ? 1 : ms;
    enabled_ = true;
    restart();
}

void TickTimer::stop() {
    enabled_ = false;
    pausing_ = false;
    timer_.stop();
}

void TickTimer::pauseFor(int ms) {
    if (!enabled_ || ms <= period_) return;
    timer_.start(ms, Qt::PreciseTimer, this);
    pausing_ = true;
}

void TickTimer::restart() {
    pausing_ = false;
    timer_.start(period_, Qt::PreciseTimer, this);
}

void TickTimer::timerEvent(QTimerEvent* e) {
    if (e->timerId() != timer_.timerId()) {
        QObject::timerEvent(e);
        return;
    }
    if (pausing_) restart();
    tick_();
}

}  // namespace engine
