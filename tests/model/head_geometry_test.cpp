// Start offsets and click bands: the decks' plain logic.
#include "model/head_geometry.h"

#include <gtest/gtest.h>

#include <vector>

#include "fake_deck.h"
#include "model/click_bands.h"
#include "model/lane_logic.h"

namespace {

TEST(StartOffsets, OnlyTheClipUnderTheHeadGetsItsDistance) {
    using enginetest::makeClip;
    auto a = makeClip("a", 0, 100, 0, 0, 100, 100);
    auto b = makeClip("b", 50, 100, 0, 0, 100, 100);  // overlaps a, lies on top
    auto c = makeClip("c", 300, 100, 0, 0, 100, 100);
    for (auto& clip : {a, b, c}) clip->playStart = clip->previewStart = 7;
    std::vector<model::ClipRef> lane{a, b, c};
    model::assignStartOffsets(lane, model::lineHit(lane, 80, enginetest::kDeckScroll), 80,
                              enginetest::kDeckScroll, &model::Clip::playStart);
    EXPECT_EQ(a->playStart, 0);
    EXPECT_EQ(b->playStart, 30);
    EXPECT_EQ(c->playStart, 0);
    EXPECT_EQ(a->previewStart, 7);  // the other deck's offsets stay
    model::assignStartOffsets(lane, nullptr, 80, enginetest::kDeckScroll,
                              &model::Clip::previewStart);
    for (auto& clip : lane) EXPECT_EQ(clip->previewStart, 0);
}

TEST(ClickBands, SortsRowsIntoBands) {
    struct Case {
        int y;
        bool ruler, strip;
        int lane;
    };
    for (const Case& c :
         {Case{0, true, false, 0},    Case{34, true, false, 0},   Case{35, false, false, 0},
          Case{45, false, false, 0},  Case{46, false, false, 1},  Case{76, false, false, 1},
          Case{77, false, false, 0},  Case{79, false, false, 0},  Case{80, false, true, 0},
          Case{87, false, true, 0},   Case{88, false, true, 2},   Case{90, false, true, 2},
          Case{93, false, true, 2},   Case{94, false, false, 2},  Case{118, false, false, 2},
          Case{119, false, false, 0}, Case{120, false, false, 0}, Case{121, false, true, 0},
          Case{130, false, true, 0},  Case{131, false, false, 0}, Case{-5, true, false, 0}}) {
        auto b = model::clickBands(c.y);
        EXPECT_EQ(b.ruler, c.ruler) << c.y;
        EXPECT_EQ(b.playStrip, c.strip) << c.y;
        EXPECT_EQ(b.lane, c.lane) << c.y;
    }
}

}  // namespace
