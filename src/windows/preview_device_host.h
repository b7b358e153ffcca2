#pragma once
// The preview device as the small windows see it: the preferences choose it, the drop preview
// plays on it. The program that owns the decks keeps it and routes the players.

#include "media/output.h"

namespace media {
class MoviePlayer;
}

namespace windows {

class PreviewDeviceHost {
  public:
    // The sound output id the preview plays on (0: the default device).
    virtual media::DeviceId previewDeviceId() const = 0;
    // The device the preview players take from the next movie they route.
    virtual void setPreviewDeviceId(media::DeviceId id) = 0;
    // Sends the player's movie to the preview device.
    virtual void routeToPreviewDevice(const media::MoviePlayer& player) = 0;

  protected:
    ~PreviewDeviceHost() = default;
};

}  // namespace windows
