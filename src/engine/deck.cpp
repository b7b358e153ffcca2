#include "engine/deck.h"

namespace engine {

void Deck::setRunning(bool running) {
    if (running_ == running) return;
    running_ = running;
    emit runningChanged(running);
}

void Deck::setHead(double timelineX) {
    head_ = timelineX;
    emit headMoved();
}

void Deck::setLaneTimes(const LaneTimes& times) {
    laneTimes_ = times;
    emit laneTimesChanged();
}

void Deck::clearLaneTimes() {
    laneTimes_ = {};
    emit laneTimesCleared();
}

void Deck::forgetClips() {
    current = {};
    last = {};
}

}  // namespace engine
