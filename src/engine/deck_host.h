#pragma once
// What the transport needs from the program that holds the decks.

#include <cstdint>

namespace engine {

class DeckHost {
  public:
    // The sound device the preview deck sounds on (0: the default device).
    virtual int32_t previewOutputDevice() const = 0;

  protected:
    ~DeckHost() = default;
};

}  // namespace engine
