#pragma once
// First sound of a player: from Play to the first mixed block holding the movie's sound, plus
// the sound queued in the device ahead of it; 1 s when nothing sounded within 0.4 s.

#include <QThread>
#include <chrono>

#include "media/media.h"

inline double playAndTimeFirstSound(media::MoviePlayer& p) {
    const auto t0 = std::chrono::steady_clock::now();
    p.play();
    media::testing::FirstSound f;
    for (int i = 0; i < 2000 && !(f = p.firstSound()).sounded; ++i) QThread::usleep(200);
    if (!f.sounded) return 1.0;
    const int64_t start =
        std::chrono::duration_cast<std::chrono::nanoseconds>(t0.time_since_epoch()).count();
    return (f.mixedAtNs - start) / 1e9 + f.queuedSeconds;
}
