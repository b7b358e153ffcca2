// The volume steps, the volume bar and the arrow-key nudges, without a window.
#include "model/key_commands.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using model::NudgeKeys;

TEST(VolumeKeys, StepsStayWithinSilenceAndFullVolume) {
    struct Case {
        double read;
        int steps;
        double want;
    };
    const Case cases[] = {
        {0.5, 1, 0.6},
        {0.5, -1, 0.4},
        {1.0, 1, 1.0},   // never above full
        {0.0, -1, 0.0},  // never negative
        {0.95, 1, 1.0},
        {0.04, -1, 0.0},
        {0.899993896484375, 1, 1.0},  // a tenth as the sound server hands it back
        {0.300003051757812, -3, 0.0},
        {0.6, 1, 0.7},
        {std::nan(""), 1, 0.1},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(model::steppedVolume(c.read, c.steps), c.want) << c.read << " " << c.steps;
    }
    // Ten steps up from silence reach full volume exactly.
    double v = 0;
    for (int i = 0; i < 10; ++i) v = model::steppedVolume(v, 1);
    EXPECT_EQ(v, 1.0);
    // The meter's bar is 14 pixels at full volume, standing on y 178; it shows no more than full
    // and no less than silence.
    EXPECT_EQ(model::volumeBar(1.1), (model::VolumeBar{14, 164}));
    EXPECT_EQ(model::volumeBar(0.6), (model::VolumeBar{8, 170}));
    EXPECT_EQ(model::volumeBar(std::nan("")), (model::VolumeBar{0, 178}));
}

constexpr double kScroll = 1000;  // the lane is scrolled; `left` is on the lane

model::ClipRef clip(double left, double length) {
    auto c = std::make_shared<model::Clip>();
    c->lengthPx = length;
    c->centre = left + length / 2 + kScroll;
    return c;
}

TEST(Nudge, StepsTestOnlyTheLeadingEdge) {
    struct Case {
        const char* name;
        NudgeKeys keys;
        double neighbourLeft, neighbourLength;  // length 0: no neighbour
        double length;                          // the nudged clip's, its left edge at 200
        int moved;                              // change of the centre
        bool free;
    };
    const Case cases[] = {
        {"left", {true, false, false}, 0, 0, 100, -1, true},
        {"right", {false, true, false}, 0, 0, 100, 1, true},
        {"shift left", {true, false, true}, 0, 0, 100, -11, true},
        {"shift right", {false, true, true}, 0, 0, 100, 11, true},
        {"shift alone", {false, false, true}, 0, 0, 100, 0, true},
        {"left and right", {true, true, false}, 0, 0, 100, 0, true},
        {"shift, left and right", {true, true, true}, 0, 0, 100, 0, true},
        {"neighbour touching on the left", {true, false, false}, 100, 100, 100, 0, false},
        {"neighbour a pixel away", {true, false, false}, 99, 100, 100, -1, true},
        {"1 refused, 10 past the neighbour", {true, false, true}, 192, 8, 100, -10, false},
        {"1 free, 10 into the neighbour", {true, false, true}, 150, 40, 100, -1, false},
        {"neighbour on the right only", {true, false, false}, 300, 100, 100, -1, true},
        {"half a pixel from the left neighbour", {true, false, false}, 99.5, 100, 100, 0, false},
        {"half a pixel from the right neighbour", {false, true, false}, 300.5, 100, 100, 0, false},
    };
    for (const Case& c : cases) {
        auto moving = clip(200, c.length);
        std::vector<model::ClipRef> lane;
        if (c.neighbourLength > 0) lane.push_back(clip(c.neighbourLeft, c.neighbourLength));
        lane.push_back(moving);
        const double centre0 = moving->centre;
        EXPECT_EQ(model::nudge(lane, *moving, c.keys, kScroll), c.free) << c.name;
        EXPECT_DOUBLE_EQ(moving->centre, centre0 + c.moved) << c.name;
    }
}

// The left edge stops at the timeline's start, without a refusal; the right has no bound.
TEST(Nudge, TheLeftEdgeStopsAtTheStart) {
    struct Case {
        double left;  // on the timeline, not scrolled
        NudgeKeys keys;
        double moved;
    };
    const Case cases[] = {
        {0, {true, false, false}, 0},  {0.5, {true, false, false}, -0.5},
        {5, {true, false, true}, -5},  {11, {true, false, true}, -11},
        {-3, {true, false, false}, 0},  // placed before the start by a file: no further
        {-3, {false, true, false}, 1}, {2e9, {false, true, true}, 11},
    };
    for (const Case& c : cases) {
        auto moving = clip(c.left, 10);
        moving->centre -= kScroll;  // not scrolled
        std::vector<model::ClipRef> lane{moving};
        EXPECT_TRUE(model::nudge(lane, *moving, c.keys, 0)) << c.left;
        EXPECT_DOUBLE_EQ(moving->centre - 5, c.left + c.moved) << c.left;
    }
}

}  // namespace
