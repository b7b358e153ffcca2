#include "model/lane_logic.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The lanes are scrolled: every place below is on the lane, the clips' centres on the timeline.
constexpr double kScroll = 600;

model::ClipRef clipAt(double x, double length, int pictureWidth = -1) {
    auto c = std::make_shared<model::Clip>();
    c->centre = x + kScroll;
    c->lengthPx = length;
    c->image = std::make_shared<model::Picture>(pictureWidth < 0 ? int(length) : pictureWidth, 30);
    return c;
}

TEST(TimeText, Table) {
    struct Case {
        double in;
        const char* out;
    };
    const Case cases[] = {
        {0, "0.00:00"},      {9.99, "0.00:09"},       {59.9, "0.00:59"},
        {61, "0.01:01"},     {187, "0.03:07"},        {600, "0.10:00"},
        {3599.9, "0.59:59"}, {3600, "1.00:00"},       {3661.5, "1.01:01"},
        {36000, "10.00:00"}, {-5, "0.00:00"},         {std::nan(""), "0.00:00"},
        {-1e300, "0.00:00"}, {1e300, "596523.14:07"},
    };
    for (const Case& c : cases) EXPECT_EQ(model::timeText(c.in), c.out) << c.in;
}

TEST(HitTests, LineHitIsStrictAtBothEdges) {
    std::vector<model::ClipRef> pics = {clipAt(60, 100)};
    struct Case {
        double x;
        bool hit;
    };
    for (const Case& c : {Case{10, false}, Case{110, false}, Case{10.5, true}, Case{109.9, true},
                          Case{60, true}, Case{-100, false}}) {
        EXPECT_EQ(model::lineHit(pics, c.x, kScroll) != nullptr, c.hit) << c.x;
    }
    // An odd length spans half pixels: 9.5 to 110.5.
    std::vector<model::ClipRef> odd = {clipAt(60, 101)};
    EXPECT_NE(model::lineHit(odd, 10, kScroll), nullptr);
    EXPECT_EQ(model::lineHit({}, 10, kScroll), nullptr);
}

// The clip a head moving right reaches next: the nearest left edge at or beyond it (a head on an
// edge is not inside that clip yet), and nothing while
// that edge is hidden under a clip above (the head stays on the upper one there).
TEST(HitTests, NextHitIsTheNearestEdgeAheadThatTheHeadWouldFind) {
    const model::ClipRef under = clipAt(100, 20), a = clipAt(60, 100), b = clipAt(250, 100);
    const std::vector<model::ClipRef> pics = {under, a, b};  // under: 90..110, below a: 10..110
    const struct {
        double head;
        model::ClipRef want;
    } cases[] = {{0, a},     {10, a},  {10.1, nullptr},  {90, nullptr}, {90.1, b},
                 {199.9, b}, {200, b}, {200.1, nullptr}, {500, nullptr}};
    for (const auto& c : cases) EXPECT_EQ(model::nextHit(pics, c.head, kScroll), c.want) << c.head;
    // Two edges at one place: the upper clip is reached.
    const model::ClipRef same = clipAt(110, 40);
    EXPECT_EQ(model::nextHit({under, same}, 50, kScroll), same);
    EXPECT_EQ(model::nextHit({same, under}, 50, kScroll), under);
}

TEST(HitTests, ClipAtUsesThePictureAndTheTopmostWins) {
    std::vector<model::ClipRef> pics = {clipAt(60, 100)};
    EXPECT_NE(model::picHit(pics, 11, 16, kScroll), nullptr);
    EXPECT_EQ(model::picHit(pics, 10, 16, kScroll), nullptr);
    EXPECT_EQ(model::picHit(pics, 60, 31, kScroll), nullptr);
    EXPECT_NE(model::picHit(pics, 60, 30, kScroll), nullptr);
    auto top = clipAt(100, 100);
    pics.push_back(top);
    EXPECT_EQ(model::picHit(pics, 80, 16, kScroll), top);
    EXPECT_EQ(model::lineHit(pics, 80, kScroll), top);
}

TEST(Handles, PlacesForShownClips) {
    struct Case {
        int laneTop;
        double length;
        int inPointHandle, outPointHandle, fadeInHandle, fadeOutHandle, top, bottom;
    };
    const Case cases[] = {
        {45, 200, 214, 380, 236, 356, 36, 78},
        {45, 201, 213, 379, 235, 355, 36, 78},
        {87, 200, 214, 380, 236, 356, 78, 120},
    };
    for (const Case& c : cases) {
        model::Clip p;
        p.centre = 300 + kScroll;
        p.lengthPx = c.length;
        p.inPoint = 20;
        p.outPoint = 180;
        p.fadeInEnd = 40;
        p.fadeOutStart = 160;
        const auto at = model::handlePlaces(p, kScroll, c.laneTop, 9);
        EXPECT_EQ(at.inPointLeft, c.inPointHandle);
        EXPECT_EQ(at.outPointLeft, c.outPointHandle);
        EXPECT_EQ(at.fadeInLeft, c.fadeInHandle);
        EXPECT_EQ(at.fadeOutLeft, c.fadeOutHandle);
        EXPECT_EQ(at.topRow, c.top);
        EXPECT_EQ(at.bottomRow, c.bottom);
    }
}

TEST(Dragging, RepaintRectCoversOldAndNewPlaces) {
    struct Case {
        int oldX, newX, w, h, y;
        model::Rect r;
    };
    const Case cases[] = {
        {100, 110, 100, 30, 16, {50, 1, 110, 30}},
        {110, 100, 100, 30, 16, {50, 1, 110, 30}},
        {100, 101, 101, 30, 16, {50, 1, 102, 30}},
        {0, -40, 40, 30, 16, {-60, 1, 80, 30}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(model::dragRepaintRect(c.oldX, c.newX, c.w, c.h, c.y), c.r);
}

TEST(Dragging, ReleaseProbesTheEdgesAndTheCentre) {
    struct Case {
        const char* what;
        double otherX;
        double otherLength;
        bool otherOnTop;
        bool collides;
    };
    // The released clip spans 50..150 (x 100, length 100); it is on top, as a press brings it
    // there, unless the other clip is.
    const Case cases[] = {
        {"touching on the right", 200, 100, false, false},  // touching is not overlapping
        {"half a pixel over on the right", 199.5, 100, false, true},
        {"1-pixel gap on the right", 201, 100, false, false},
        {"touching on the left", 0, 100, false, false},
        {"half a pixel over on the left", 0.5, 100, false, true},
        {"1-pixel gap on the left", -1, 100, false, false},
        {"short clip inside, clear of the probes", 100, 20, false, false},
        // Only the centre probe reaches this one, and only while it lies above the clip.
        {"short clip at the centre, above", 100, 20, true, true},
        {"short clip beside the centre, above", 120, 20, true, false},
        {"far away", 500, 100, false, false},
    };
    for (const Case& c : cases) {
        auto released = clipAt(100, 100);
        auto other = clipAt(c.otherX, c.otherLength);
        std::vector<model::ClipRef> pics = {other, released};
        if (c.otherOnTop) pics = {released, other};
        EXPECT_EQ(model::releaseCollides(pics, *released, kScroll), c.collides) << c.what;
    }
}

TEST(Ruler, LabelsAtSeveralZoomsAndScrolls) {
    struct Case {
        double scroll, zoom;
        std::array<model::RulerLabel, 5> labels;
    };
    const Case cases[] = {
        {0,
         1,
         {{{"0.00:00", 0},
           {"0.05:00", 300},
           {"0.10:00", 600},
           {"0.15:00", 900},
           {"0.20:00", 1200}}}},
        {0,
         2,
         {{{"0.00:00", 0},
           {"0.02:30", 300},
           {"0.05:00", 600},
           {"0.07:30", 900},
           {"0.10:00", 1200}}}},
        {0,
         0.25,
         {{{"0.00:00", 0},
           {"0.20:00", 300},
           {"0.40:00", 600},
           {"1.00:00", 900},
           {"1.20:00", 1200}}}},
        {60,
         1,
         {{{"0.00:00", -60},
           {"0.05:00", 240},
           {"0.10:00", 540},
           {"0.15:00", 840},
           {"0.20:00", 1140}}}},
        {300,
         1,
         {{{"0.05:00", 0},
           {"0.10:00", 300},
           {"0.15:00", 600},
           {"0.20:00", 900},
           {"0.25:00", 1200}}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(model::rulerLabels(c.scroll, c.zoom), c.labels) << c.scroll << " " << c.zoom;
}

TEST(Ruler, HeadPagesAndScrollMaximum) {
    EXPECT_EQ(model::headPage(250, 0), 0);
    EXPECT_EQ(model::headPage(399, 0), 0);
    EXPECT_EQ(model::headPage(500, 0), 1);
    EXPECT_EQ(model::headPage(50, 1200), 3);
    EXPECT_EQ(model::scrollMaximum(1), 900);
    EXPECT_EQ(model::scrollMaximum(2), 1800);
    EXPECT_EQ(model::scrollMaximum(4), 3600);
    EXPECT_FALSE(model::scrollMaximum(0.5).has_value());
    EXPECT_FALSE(model::scrollMaximum(0.25).has_value());
}

TEST(ClipDrag, OnlyOurOwnDragDecodes) {
    model::Clip c;
    auto data = model::encodeClipDrag(&c, 2);
    auto d = model::decodeClipDrag(data);
    ASSERT_TRUE(d.has_value());
    EXPECT_EQ(d->clip, reinterpret_cast<quintptr>(&c));
    EXPECT_EQ(d->lane, 2);
    for (const char* bad : {"", "zz 1 1", "1 3 1", "0 1 1", "1 1 1 1", "ffff 1 notapid"}) {
        EXPECT_FALSE(model::decodeClipDrag(bad).has_value()) << bad;
    }
    // Another process's drag names a clip that does not exist here.
    QByteArray foreign = data.left(data.lastIndexOf(' ')) + " 1";
    EXPECT_FALSE(model::decodeClipDrag(foreign).has_value());
}

}  // namespace
