// Sending the preview players' sound to the chosen output device.
#include "engine/routing.h"

#include "media/movie.h"
#include "shell/main_window.h"

// Without a movie there is nothing to route; the tick must never open a dialog for it.
void MainWindow::setPlayerOutputDevice(platform::MoviePlayer* player, int32_t id) {
    if (!player) return;
    if (const media::MovieRef movie = player->Movie()) engine::routeSoundTracks(*movie, id);
}

int32_t MainWindow::playerOutputDevice(platform::MoviePlayer* player) {
    if (!player) return 0;
    const media::MovieRef movie = player->Movie();
    return movie ? engine::firstSoundOutput(*movie) : 0;
}

namespace engine {

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
