#pragma once
// First sound after Play: from Play to the first mixed block of the movie's sound, plus the sound
// queued in the device ahead of it (what a listener waits for).

#include <QThread>
#include <chrono>

#include "media/media.h"

// Seconds until the movie is heard from `position`; 1 when it never sounds.
inline double firstSoundSeconds(const media::MovieRef& movie, double position) {
    media::MoviePlayer p;
    p.setMovie(movie);
    p.setPosition(position);
    const auto t0 = std::chrono::steady_clock::now();
    p.Play();
    media::testing::FirstSound f;
    for (int i = 0; i < 5000 && !(f = p.firstSound()).sounded; ++i) QThread::usleep(200);
    const double mixed =
        (f.mixedAtNs -
         std::chrono::duration_cast<std::chrono::nanoseconds>(t0.time_since_epoch()).count()) /
        1e9;
    p.Stop();
    return f.sounded ? mixed + f.queuedSeconds : 1.0;
}

// Opens the device once, as a running program has.
inline void warmSoundDevice(const media::MovieRef& movie) {
    media::MoviePlayer warm;
    warm.setMovie(movie);
    warm.Play();
    QThread::msleep(300);
    warm.Stop();
}
