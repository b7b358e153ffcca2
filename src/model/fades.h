#pragma once
// Fade ramps and the volume of a clip at a clip time. Pure functions: no widget, no state.

#include <optional>

namespace model {
struct Clip;
}

namespace model {

// Volume (0..256 scale, unclamped) on a rising ramp of length a, at clip time b, ramp starting
// at c; zoom in timeline pixels per second. Computed over a right triangle of height 17 x zoom
// (arc sine, then two sines) rather than the closed form 256 (b - c) / a: the truncated results
// must match the established ones to the last bit, and they differ in thousands of cases.
double fadeInRamp(double a, double b, double c, double zoom);
// The falling twin: ramp of length a ending at c, at clip time b; 256 (c - b) / a.
double fadeOutRamp(double a, double b, double c, double zoom);

constexpr int kFullVolume = 256;

// The player volume for a clip at clip time t (timeline pixels from its left edge): 0 up to the
// in point and from the out point on, 256 between the fade points, the ramps in between.
// The rules are tested in order and the last that holds wins, so a clip without a fade-in is at
// full volume right at its in point. Always within 0..256; a ramp value that is not a number
// counts as the ramp's end. Nothing (volume left alone) when no rule holds, i.e. t is NaN.
std::optional<int> clipVolume(const Clip& clip, double t, double zoom);

}  // namespace model
