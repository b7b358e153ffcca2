#include "model/handle_logic.h"

#include <gtest/gtest.h>

namespace {

using model::Handle;

// A clip whose left edge is at window x 150 and right edge at 250, with its in point at 10, the
// fade-in end at 30, the fade-out start at 70 and the out point at 90.
model::Clip clipAt150() {
    model::Clip c;
    c.centre = 200;
    c.lengthPx = 100;
    c.inPoint = 10;
    c.fadeInEnd = 30;
    c.fadeOutStart = 70;
    c.outPoint = 90;
    return c;
}

struct Points {
    double inPoint, fadeInEnd, fadeOutStart, outPoint;
};

TEST(HandleRelease, BoundsFallbacksAndPullAlong) {
    const struct {
        Handle handle;
        int h;
        Points want;
        const char* why;
    } cases[] = {
        {Handle::In, 150, {0, 30, 70, 90}, "at the left edge: the fallback 0"},
        {Handle::In, 151, {1, 30, 70, 90}, "just inside the clip"},
        {Handle::In, 170, {20, 30, 70, 90}, "before the fade-in end"},
        {Handle::In, 190, {40, 40, 70, 90}, "past the fade-in end pulls it along"},
        {Handle::In, 219, {69, 69, 70, 90}, "just before the fade-out start"},
        {Handle::In, 220, {0, 30, 70, 90}, "exactly at the fade-out start: refused"},
        {Handle::In, 20, {0, 30, 70, 90}, "far left of the clip"},
        {Handle::In, 900, {0, 30, 70, 90}, "far right of the clip"},
        {Handle::Out, 250, {10, 30, 70, 100}, "at the right edge: the fallback, the clip's length"},
        {Handle::Out, 249, {10, 30, 70, 99}, "just inside the clip"},
        {Handle::Out, 230, {10, 30, 70, 80}, "after the fade-out start"},
        {Handle::Out, 200, {10, 30, 50, 50}, "before the fade-out start pulls it along"},
        {Handle::Out, 181, {10, 30, 31, 31}, "just after the fade-in end"},
        {Handle::Out, 180, {10, 30, 70, 100}, "exactly at the fade-in end: refused"},
        {Handle::Out, -40, {10, 30, 70, 100}, "outside the window"},
        {Handle::FadeIn, 160, {10, 10, 70, 90}, "at the in point: the fallback, the in point"},
        {Handle::FadeIn, 161, {10, 11, 70, 90}, "just after the in point"},
        {Handle::FadeIn, 200, {10, 50, 70, 90}, "inside its range"},
        {Handle::FadeIn, 219, {10, 69, 70, 90}, "just before the fade-out start"},
        {Handle::FadeIn, 220, {10, 10, 70, 90}, "exactly at the fade-out start: refused"},
        {Handle::FadeIn, 500, {10, 10, 70, 90}, "far outside"},
        {Handle::FadeOut,
         180,
         {10, 30, 90, 90},
         "exactly at the fade-in end: the length, cut to the out point"},
        {Handle::FadeOut, 181, {10, 30, 31, 90}, "just after the fade-in end"},
        {Handle::FadeOut, 230, {10, 30, 80, 90}, "inside its range"},
        {Handle::FadeOut, 245, {10, 30, 90, 90}, "between the out point and the edge: cut back"},
        {Handle::FadeOut, 250, {10, 30, 90, 90}, "at the right edge: no fade-out"},
        {Handle::FadeOut, 0, {10, 30, 90, 90}, "far outside: no fade-out"},
    };
    for (const auto& c : cases) {
        model::Clip clip = clipAt150();
        model::releaseHandle(c.handle, clip, c.h, 0);
        EXPECT_DOUBLE_EQ(clip.inPoint, c.want.inPoint) << c.why;
        EXPECT_DOUBLE_EQ(clip.fadeInEnd, c.want.fadeInEnd) << c.why;
        EXPECT_DOUBLE_EQ(clip.fadeOutStart, c.want.fadeOutStart) << c.why;
        EXPECT_DOUBLE_EQ(clip.outPoint, c.want.outPoint) << c.why;
        EXPECT_DOUBLE_EQ(clip.lengthPx, 100) << c.why;
    }
}

TEST(HandleRelease, HotSpots) {
    EXPECT_EQ(model::handleHotSpot(Handle::In, 100, 8), 106);
    EXPECT_EQ(model::handleHotSpot(Handle::Out, 100, 8), 100);
    EXPECT_EQ(model::handleHotSpot(Handle::FadeIn, 100, 9), 104);
    EXPECT_EQ(model::handleHotSpot(Handle::FadeOut, -16, 9), -12);
}

TEST(HandleRelease, FractionalEdgeSnapsToTheHandlesPixel) {
    // Left edge at 149.5: a handle standing on the pixel of a fractional point writes that pixel.
    model::Clip clip = clipAt150();
    clip.lengthPx = 101;
    clip.inPoint = 10.7;
    model::releaseHandle(Handle::In, clip, 160, 0);
    EXPECT_DOUBLE_EQ(clip.inPoint, 10.5);
}

// Whatever the place, a release keeps 0 <= inPoint <= fadeInEnd <= fadeOutStart <= outPoint <=
// lengthPx.
TEST(HandleRelease, EveryPlaceKeepsThePointsInOrder) {
    const Handle handles[] = {Handle::In, Handle::Out, Handle::FadeIn, Handle::FadeOut};
    for (double length : {1.0, 2.0, 7.5, 100.0}) {
        for (Handle first : handles) {
            for (Handle second : handles) {
                for (int h1 = 130; h1 <= 270; h1 += 3) {
                    for (int h2 = 130; h2 <= 270; h2 += 5) {
                        model::Clip c;
                        c.centre = 200;
                        c.lengthPx = length;
                        c.fadeOutStart = c.outPoint = length;
                        model::releaseHandle(first, c, h1, 0);
                        model::releaseHandle(second, c, h2, 0);
                        ASSERT_TRUE(0 <= c.inPoint && c.inPoint <= c.fadeInEnd &&
                                    c.fadeInEnd <= c.fadeOutStart && c.fadeOutStart <= c.outPoint &&
                                    c.outPoint <= c.lengthPx)
                            << length << " " << h1 << " " << h2 << ": " << c.inPoint << " "
                            << c.fadeInEnd << " " << c.fadeOutStart << " " << c.outPoint;
                    }
                }
            }
        }
    }
}

}  // namespace
