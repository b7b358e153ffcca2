// Head placement, start offsets, click bands and track routing: the engine's plain logic.
#include <gtest/gtest.h>

#include <QString>
#include <vector>

#include "model/click_bands.h"
#include "model/head_geometry.h"
#include "engine/routing.h"
#include "fake_deck.h"
#include "model/lane_logic.h"

namespace {

TEST(HeadPlacement, ParksOutsideFiftyPixelsBeyondTheWindow) {
    struct Case {
        double x;
        bool shown;
        int button, line, label;
    };
    const int w = 800;
    for (const Case& c : {Case{-50, false, -100, -100, -100}, Case{-49.5, true, -56, -49, -45},
                          Case{850, false, -100, -100, -100}, Case{849, true, 842, 849, 853},
                          Case{100.75, true, 93, 100, 104}, Case{1e12, false, -100, -100, -100}}) {
        auto p = model::placeHead(c.x, w, 4);
        EXPECT_EQ(p.shown, c.shown) << c.x;
        EXPECT_EQ(p.button, c.button) << c.x;
        EXPECT_EQ(p.line, c.line) << c.x;
        EXPECT_EQ(p.label, c.label) << c.x;
    }
    EXPECT_EQ(model::placeHead(300, w, 11).label, 311);
}

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

// A movie's tracks as the routing sees them, numbered from 1.
struct FakeMovie {
    struct Track {
        QString type;
        int32_t out = 0;
    };
    std::vector<Track> tracks;
    int trackCount() const { return static_cast<int>(tracks.size()); }
    QString trackMediaType(int i) const { return tracks.at(i - 1).type; }
    int32_t trackSoundOutput(int i) const { return tracks.at(i - 1).out; }
    void setTrackSoundOutput(int i, int32_t id) { tracks.at(i - 1).out = id; }
};

TEST(Routing, EverySoundTrackAndNothingElse) {
    FakeMovie m{{{"soun"}, {"vide", 5}, {"soun"}}};
    engine::routeSoundTracks(m, 99);
    EXPECT_EQ(m.tracks[0].out, 99);
    EXPECT_EQ(m.tracks[1].out, 5);
    EXPECT_EQ(m.tracks[2].out, 99);
    engine::routeSoundTracks(m, 0);  // the default device passes through
    EXPECT_EQ(m.tracks[2].out, 0);
}

TEST(Routing, QueryFindsTheFirstRoutedSoundTrack) {
    EXPECT_EQ(engine::firstSoundOutput(FakeMovie{{{"vide", 3}}}), 0);
    EXPECT_EQ(engine::firstSoundOutput(FakeMovie{}), 0);
    EXPECT_EQ(
        engine::firstSoundOutput(FakeMovie{{{"vide", 3}, {"soun", 0}, {"soun", 8}, {"soun", 9}}}),
        8);
}

}  // namespace
