// Fade ramps. The route over the triangle is kept step by step, operation by operation (the
// build disables fused multiply-add), so every truncated volume is the established one.
#include "model/fades.h"

#include <algorithm>
#include <cmath>

#include "model/clip.h"
#include "model/numtext.h"

namespace model {
namespace {

constexpr double kPi = 3.141592653589793;

// Height of the ramp over the point `offset` into a ramp of length a, in per cent of full volume,
// scaled to 0..256.
double triangleRoute(double a, double offset, double zoom) {
    const double h = 17.0 * zoom;
    const double hh = std::pow(h, 2.0);
    const double aa = std::pow(a, 2.0);
    const double d = std::sqrt(hh + aa);
    const double q = h / d;
    const double deg = (std::asin(q) * 180.0) / kPi;
    const double e = 90.0 - deg;
    const double g = offset / std::sin((e * kPi) / 180.0);
    const double k = g * std::sin((deg * kPi) / 180.0);
    const double r = k / (h / 100.0);
    return 2.56 * r;
}

// A ramp value as a player volume: truncated, within 0..256; not a number gives `fallback`.
int rampVolume(double v, int fallback) {
    if (!std::isfinite(v)) return fallback;
    return std::clamp(whole(v), 0, kFullVolume);
}

}  // namespace

double fadeInRamp(double a, double b, double c, double zoom) {
    return triangleRoute(a, b - c, zoom);
}

double fadeOutRamp(double a, double b, double c, double zoom) {
    return triangleRoute(a, c - b, zoom);
}

std::optional<int> clipVolume(const Clip& clip, double t, double zoom) {
    std::optional<int> v;
    if (t <= clip.inPoint) v = 0;
    if (t >= clip.outPoint) v = 0;
    if (clip.fadeInEnd <= t && t <= clip.fadeOutStart) v = kFullVolume;
    if (clip.fadingIn(t))
        v = rampVolume(fadeInRamp(clip.fadeInEnd - clip.inPoint, t, clip.inPoint, zoom),
                       kFullVolume);
    if (clip.fadingOut(t))
        v = rampVolume(fadeOutRamp(clip.outPoint - clip.fadeOutStart, t, clip.outPoint, zoom), 0);
    return v;
}

}  // namespace model
