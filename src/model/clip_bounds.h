#pragma once
// The longest media a clip may stand for. Playlists refuse longer records, so nothing longer may
// become a clip either (a drop, a folder layout): what the program writes must read back. Also
// keeps every clip's picture and timeline arithmetic in range at any zoom.

#include <cmath>

namespace model {

inline constexpr double kMaxClipSeconds = 24 * 60 * 60;

// Whether media of this length (seconds) may become a clip: above 0 and at most 24 hours. A
// hair of rounding over the bound (a length scaled by a zoom and back) still counts as inside.
inline bool clipSecondsAccepted(double seconds) {
    return seconds > 0 && seconds <= kMaxClipSeconds * (1 + 1e-12);
}

}  // namespace model
