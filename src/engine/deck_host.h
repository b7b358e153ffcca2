#pragma once
// What the transport needs from the window that shows the decks.

#include <QString>
#include <cstdint>

namespace engine {

class TickTimer;

class DeckHost {
  public:
    // Width of the visible lanes in pixels: a head beyond it (and its margin) is parked.
    virtual int viewWidth() const = 0;
    // The sound device the preview deck sounds on (0: the default device).
    virtual int32_t previewOutputDevice() const = 0;
    virtual QString statusText() const = 0;
    virtual void showStatus(const QString& text) = 0;
    // Repaints what lies behind the lanes (the preview's toggle changes it).
    virtual void redrawBackdrop() = 0;
    // The timer whose action runs Transport::tick.
    virtual TickTimer& tickTimer() = 0;

  protected:
    ~DeckHost() = default;
};

}  // namespace engine
