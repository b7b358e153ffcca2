#pragma once
// Routing a movie's sound tracks to an output device. Written over any movie type with the
// movie's track interface (tracks numbered from 1), so it is tested without real media.

#include <QString>
#include <cstdint>

namespace media {
class MoviePlayer;
}

namespace engine {

// Sends the sound tracks of the player's movie to the device; nothing without a movie.
void routePlayer(const media::MoviePlayer& player, int32_t device);
// The device the player's movie sounds on (0: the default, or no movie).
int32_t playerOutput(const media::MoviePlayer& player);

// The status line when a track cannot sound where it is routed: with no default device there
// is no sound device at all; otherwise it is the preview's device that is missing.
QString unavailableRouteText(bool defaultDeviceAvailable);
// The status line when a device goes away while it sounds.
QString lostDeviceText(const QString& deviceName);
// The status line at start when the preview device kept from the last run is not there.
QString missingPreviewDeviceText(const QString& deviceName);

inline bool isSoundTrack(const QString& mediaType) { return mediaType == QLatin1String("soun"); }

// Sends every sound track of the movie to the device; other tracks are left alone.
template <class MovieT>
void routeSoundTracks(MovieT& movie, int32_t device) {
    const int n = movie.trackCount();
    for (int i = 1; i <= n; ++i) {
        if (isSoundTrack(movie.trackMediaType(i))) movie.setTrackSoundOutput(i, device);
    }
}

// The device of the first sound track that has one, in track order; 0 when none has.
template <class MovieT>
int32_t firstSoundOutput(const MovieT& movie) {
    const int n = movie.trackCount();
    for (int i = 1; i <= n; ++i) {
        if (!isSoundTrack(movie.trackMediaType(i))) continue;
        if (const int32_t out = movie.trackSoundOutput(i); out != 0) return out;
    }
    return 0;
}

}  // namespace engine
