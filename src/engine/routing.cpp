// Sending the preview players' sound to the chosen output device.
#include "engine/routing.h"

#include "media/movie.h"
#include "platform/movieplayer.h"

namespace engine {

// Without a movie there is nothing to route; the tick must never open a dialog for it.
void routePlayer(platform::MoviePlayer* player, int32_t device) {
    if (!player) return;
    if (const media::MovieRef movie = player->Movie()) routeSoundTracks(*movie, device);
}

int32_t playerOutput(const platform::MoviePlayer* player) {
    if (!player) return 0;
    const media::MovieRef movie = player->Movie();
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
