// Shifting every clip right of a position, and swapping lanes from a position on.
#include "support/app_fixture.h"

namespace {

using testsupport::AppFixture;

class ShiftSwapTest : public AppFixture {
  protected:
    model::ClipRef add(int lane, double left, double length) {
        w->lane(lane)->addNewClip(nullptr, left, "c", length, "/m/c.mp3", lane, 0, length, 0,
                                  length, 0);
        return w->lane(lane)->clips.back();
    }
};

TEST_F(ShiftSwapTest, ShiftMovesOnlyCentresStrictlyRightOfThePosition) {
    struct Case {
        double dx;
        double from;
        std::vector<int> want;  // centres of the clips below, in order
    };
    // Lane 1 centres 100, 250, 400; lane 2 centres 250, 300.
    const Case cases[] = {
        {20, 250, {100, 250, 420, 250, 320}},   // equal centres on both lanes stay
        {-30, 99, {70, 220, 370, 220, 270}},    // to the left, past clips on the left: no check
        {5, 400, {100, 250, 400, 250, 300}},    // nothing right of the last
        {7, 249.5, {100, 257, 407, 257, 307}},  // a half-pixel position
    };
    for (const Case& c : cases) {
        w->init();
        std::vector<model::ClipRef> clips = {add(1, 50, 100), add(1, 200, 100), add(1, 350, 100),
                                             add(2, 200, 100), add(2, 250, 100)};
        w->mix.document.saved = true;
        w->mix.shiftClipsRight(c.dx, c.from);
        for (size_t i = 0; i < clips.size(); ++i) {
            EXPECT_DOUBLE_EQ(clips[i]->centre, c.want[i]) << c.from << " clip " << i;
            EXPECT_EQ(clips[i]->lane, i < 3 ? 1 : 2);
        }
        EXPECT_TRUE(w->mix.document.saved);  // the caller marks the change
    }
}

TEST_F(ShiftSwapTest, SwapMovesEveryCentreAtOrRightOfThePosition) {
    struct Case {
        const char* name;
        std::vector<std::pair<int, double>> clips;  // lane, left edge; all 100 wide
        double from;
        std::vector<int> wantLanes;
    };
    const Case cases[] = {
        {"equal centres change lanes", {{1, 200}, {2, 200}, {1, 0}}, 250, {2, 1, 1}},
        {"a clip reaching past the position stays", {{1, 180}, {2, 300}}, 250, {1, 1}},
        {"lane 2 empty", {{1, 0}, {1, 200}, {1, 400}}, 250, {1, 2, 2}},
        {"lane 1 empty", {{2, 0}, {2, 200}}, 250, {2, 1}},
        {"nothing right of the position", {{1, 0}, {2, 0}}, 250, {1, 2}},
    };
    for (const Case& c : cases) {
        w->init();
        std::vector<model::ClipRef> clips;
        for (auto [lane, left] : c.clips) clips.push_back(add(lane, left, 100));
        w->mix.selectedIndex = 0;
        w->mix.selectedLane = 1;
        w->mix.swapClipsFrom(c.from);
        for (size_t i = 0; i < clips.size(); ++i) {
            const int lane = c.wantLanes[i];
            EXPECT_EQ(clips[i]->lane, lane) << c.name << " clip " << i;
            EXPECT_GE(w->lane(lane)->indexOf(clips[i].get()), 0) << c.name << " clip " << i;
        }
        EXPECT_EQ(w->laneView1->clips.size() + w->laneView2->clips.size(), clips.size()) << c.name;
        EXPECT_EQ(w->mix.selectedIndex, 0) << c.name;  // the selection is the caller's
    }
}

TEST_F(ShiftSwapTest, SwappingTwiceGivesEveryClipItsLaneBack) {
    auto stay1 = add(1, 0, 100);
    auto a = add(1, 300, 100);
    auto b = add(1, 500, 100);
    auto stay2 = add(2, 50, 100);
    auto c = add(2, 400, 100);
    w->mix.swapClipsFrom(350);
    // Arrivals lie above the clips that stayed, in the reverse of their order.
    EXPECT_EQ(w->laneView1->clips, (std::vector<model::ClipRef>{stay1, c}));
    EXPECT_EQ(w->laneView2->clips, (std::vector<model::ClipRef>{stay2, b, a}));
    w->mix.swapClipsFrom(350);
    EXPECT_EQ(w->laneView1->clips, (std::vector<model::ClipRef>{stay1, a, b}));
    EXPECT_EQ(w->laneView2->clips, (std::vector<model::ClipRef>{stay2, c}));
    for (const auto& clip : w->laneView1->clips) EXPECT_EQ(clip->lane, 1);
    for (const auto& clip : w->laneView2->clips) EXPECT_EQ(clip->lane, 2);
}

}  // namespace
