// Sending the preview players' sound to the chosen output device.
#include "engine/routing.h"

#include "media/movie.h"
#include "media/movie_player.h"

namespace engine {

// Without a movie there is nothing to route; the tick must never open a dialog for it.
void routePlayer(const media::MoviePlayer& player, int32_t device) {
    if (const media::MovieRef movie = player.movie()) routeSoundTracks(*movie, device);
}

int32_t playerOutput(const media::MoviePlayer& player) {
    const media::MovieRef movie = player.movie();
    return movie ? firstSoundOutput(*movie) : 0;
}

QString unavailableRouteText(bool defaultDeviceAvailable) {
    if (!defaultDeviceAvailable)
        return QStringLiteral("No sound device is available: nothing can be heard.");
    return QStringLiteral("The preview sound device is not available: the preview is silent.");
}

QString lostDeviceText(const QString& deviceName) {
    return QStringLiteral("The sound device \"") + deviceName +
           QStringLiteral("\" went away: it stays silent until it is back and you play again.");
}

QString missingPreviewDeviceText(const QString& deviceName) {
    return QStringLiteral("The preview sound device \"") + deviceName +
           QStringLiteral("\" is not available: the preview stays silent until it is back.");
}

}  // namespace engine
