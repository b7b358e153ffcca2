// Fade ramps and the volume table.
#include "model/fades.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "model/clip.h"
#include "model/numtext.h"

namespace {

using model::clipVolume;
using model::fadeInRamp;
using model::fadeOutRamp;

TEST(FadeRamp, KnownValuesTruncateAsEstablished) {
    // The midpoint of a 10-pixel fade-in lands just below 128 over the triangle route.
    EXPECT_EQ(fadeInRamp(10, 5, 0, 1), 127.99999999999997);
    EXPECT_EQ(model::whole(fadeInRamp(10, 5, 0, 1)), 127);
    EXPECT_EQ(model::whole(fadeInRamp(3, 1, 0, 1)), 85);
    EXPECT_NEAR(fadeOutRamp(10, 2, 10, 1), 204.8, 1e-12);
    EXPECT_EQ(model::whole(fadeOutRamp(10, 2, 10, 1)), 204);
}

TEST(FadeRamp, ZoomDoesNotChangeTheRampBeyondTheLastBits) {
    EXPECT_NEAR(fadeInRamp(20, 10, 0, 2), 128, 1e-12);
    EXPECT_NEAR(fadeInRamp(10, 5, 0, 1), 128, 1e-12);
}

TEST(FadeRamp, FadeOutIsTheFadeInWithItsPointsSwapped) {
    for (double b : {1.0, 2.5, 7.25})
        EXPECT_EQ(fadeOutRamp(10, b, 10, 1), fadeInRamp(10, 10, b, 1));
}

TEST(FadeRamp, AgreesWithTheStraightLineForRampsOfAPixelOrMore) {
    for (double zoom : {0.25, 0.5, 1.0, 2.0, 4.0}) {
        for (double a : {1.0, 3.0, 17.0, 250.0, 4000.0}) {
            for (int i = 1; i < 40; ++i) {
                const double b = a * i / 40;
                EXPECT_NEAR(fadeInRamp(a, b, 0, zoom), 256 * b / a, 1e-9) << a << " " << zoom;
            }
        }
    }
}

TEST(FadeRamp, DiffersFromTheClosedFormWhereItMatters) {
    // A closed form would give whole volumes at these points; the route gives one less at some.
    int below = 0;
    for (int a = 1; a <= 200; ++a) {
        for (int b = 1; b < a; ++b) {
            if (model::whole(fadeInRamp(a, b, 0, 1)) != model::whole(256.0 * b / a)) ++below;
        }
    }
    EXPECT_GT(below, 100);
}

model::Clip clip(double start, double fadeInEnd, double fadeOutStart, double stop) {
    model::Clip c;
    c.lengthPx = 200;
    c.inPoint = start;
    c.fadeInEnd = fadeInEnd;
    c.fadeOutStart = fadeOutStart;
    c.outPoint = stop;
    return c;
}

TEST(ClipVolume, FollowsTheTable) {
    const model::Clip c = clip(10, 20, 80, 90);
    struct Case {
        double t;
        int volume;
    };
    for (const Case& k : {Case{0, 0}, Case{10, 0}, Case{13, 76}, Case{20, 256}, Case{50, 256},
                          Case{80, 256}, Case{87, 76}, Case{90, 0}, Case{150, 0}, Case{-5, 0}}) {
        auto v = clipVolume(c, k.t, 1);
        ASSERT_TRUE(v.has_value()) << k.t;
        EXPECT_EQ(*v, k.volume) << "t=" << k.t;
    }
}

TEST(ClipVolume, WithoutRampsTheEdgesAreFullVolume) {
    const model::Clip c = clip(10, 10, 90, 90);
    EXPECT_EQ(clipVolume(c, 10, 1), 256);  // the later rule wins at the in point
    EXPECT_EQ(clipVolume(c, 90, 1), 256);  // and at the out point, for that tick
    EXPECT_EQ(clipVolume(c, 9.99, 1), 0);
    EXPECT_EQ(clipVolume(c, 90.01, 1), 0);
}

TEST(ClipVolume, StaysWithinRangeForDegenerateRamps) {
    // Ramps far below a pixel: the route overshoots 256 or divides by zero.
    const double tiny = 1e-6;
    for (int i = 1; i < 10; ++i) {
        const model::Clip in = clip(10, 10 + tiny, 90, 90);
        auto v = clipVolume(in, 10 + tiny * i / 10, 1);
        ASSERT_TRUE(v.has_value());
        EXPECT_GE(*v, 0);
        EXPECT_LE(*v, 256);
    }
    // A ramp the route cannot measure counts as done: full volume in, silence out.
    const double e = 1e-15;
    EXPECT_EQ(clipVolume(clip(0, e, 100, 100), e / 2, 1), 256);
    EXPECT_EQ(clipVolume(clip(0, 0, e, 2 * e), 1.5 * e, 1), 0);
}

TEST(ClipVolume, NotANumberLeavesTheVolumeAlone) {
    EXPECT_FALSE(clipVolume(clip(10, 20, 80, 90), std::numeric_limits<double>::quiet_NaN(), 1));
}

}  // namespace
