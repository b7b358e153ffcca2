// The mix alone: its moves across both lanes, and the signals that tell its views each change.
#include "model/mix.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

model::ClipRef add(model::Mix& mix, int lane, double left, double length = 100) {
    return mix.addNewClip(lane, left, {.name = "c", .lengthPx = length, .lane = lane});
}
model::PictureRef pictureless(const model::Clip&) { return nullptr; }

TEST(MixMoves, ShiftMovesOnlyCentresStrictlyRightOfThePosition) {
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
        model::Mix mix;
        std::vector<model::ClipRef> clips = {add(mix, 1, 50), add(mix, 1, 200), add(mix, 1, 350),
                                             add(mix, 2, 200), add(mix, 2, 250)};
        mix.markSaved();
        mix.shiftClipsRight(c.dx, c.from);
        for (size_t i = 0; i < clips.size(); ++i) {
            EXPECT_DOUBLE_EQ(clips[i]->centre, c.want[i]) << c.from << " clip " << i;
            EXPECT_EQ(clips[i]->lane, i < 3 ? 1 : 2);
        }
        EXPECT_TRUE(mix.document().saved);  // the caller marks the change
    }
}

TEST(MixMoves, SwapMovesEveryCentreAtOrRightOfThePosition) {
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
        model::Mix mix;
        std::vector<model::ClipRef> clips;
        for (auto [lane, left] : c.clips) clips.push_back(add(mix, lane, left));
        mix.select(1, 0);
        mix.swapClipsFrom(c.from);
        for (size_t i = 0; i < clips.size(); ++i) {
            const int lane = c.wantLanes[i];
            EXPECT_EQ(clips[i]->lane, lane) << c.name << " clip " << i;
            EXPECT_GE(mix.indexOf(lane, clips[i].get()), 0) << c.name << " clip " << i;
        }
        EXPECT_EQ(mix.lane(1).size() + mix.lane(2).size(), clips.size()) << c.name;
        EXPECT_EQ(mix.selection(), (model::ClipSelection{1, 0})) << c.name;  // the caller's
    }
}

TEST(MixMoves, SwappingTwiceGivesEveryClipItsLaneBack) {
    model::Mix mix;
    auto stay1 = add(mix, 1, 0), a = add(mix, 1, 300), b = add(mix, 1, 500);
    auto stay2 = add(mix, 2, 50), c = add(mix, 2, 400);
    mix.swapClipsFrom(350);
    // Arrivals lie above the clips that stayed, in the reverse of their order.
    EXPECT_EQ(mix.lane(1), (std::vector<model::ClipRef>{stay1, c}));
    EXPECT_EQ(mix.lane(2), (std::vector<model::ClipRef>{stay2, b, a}));
    mix.swapClipsFrom(350);
    EXPECT_EQ(mix.lane(1), (std::vector<model::ClipRef>{stay1, a, b}));
    EXPECT_EQ(mix.lane(2), (std::vector<model::ClipRef>{stay2, c}));
    for (int n : {1, 2})
        for (const auto& clip : mix.lane(n)) EXPECT_EQ(clip->lane, n);
}

TEST(MixSignals, EachChangeTellsItsViews) {
    using Heard = std::vector<std::string>;
    const struct {
        const char* name;
        std::function<void(model::Mix&)> change;
        Heard heard;
    } cases[] = {
        {"add", [](model::Mix& m) { add(m, 2, 500, 50); }, {"document", "lane 2"}},
        {"bring to front", [](model::Mix& m) { m.bringToFront(1, m.lane(1)[0]); }, {"lane 1"}},
        {"take", [](model::Mix& m) { m.takeClip(1, 1); }, {"lane 1"}},
        {"delete", [](model::Mix& m) { m.deleteClip(1, 0); }, {"lane 1", "document", "deleted c"}},
        {"shift", [](model::Mix& m) { m.shiftClipsRight(10, 0); }, {"lane 1", "lane 2"}},
        {"swap", [](model::Mix& m) { m.swapClipsFrom(0); }, {"lane 1", "lane 2"}},
        {"restack", [](model::Mix& m) { m.reverseStacking(); }, {"lane 1", "lane 2"}},
        {"scale", [](model::Mix& m) { m.scaleTimeline(2, pictureless); }, {"lane 1", "lane 2"}},
        {"edit in place", [](model::Mix& m) { m.clipsEdited(2); }, {"lane 2"}},
        {"nudge", [](model::Mix& m) { m.markSelectedClipEdited(); }, {"lane 1", "selected clip"}},
        {"select", [](model::Mix& m) { m.select(2, 0); }, {"selection"}},
        {"deselect", [](model::Mix& m) { m.clearSelection(); }, {"selection"}},
        {"zoom", [](model::Mix& m) { m.setZoom(2); }, {"view"}},
        {"scroll", [](model::Mix& m) { m.setScrollX(60); }, {"view"}},
        {"path alone", [](model::Mix& m) { m.setPath("/a.txt"); }, {}},
        {"saved", [](model::Mix& m) { m.markSaved(); }, {"document"}},
    };
    for (const auto& c : cases) {
        model::Mix mix;
        add(mix, 1, 0, 50);
        add(mix, 1, 100, 50);
        mix.select(1, 0);
        mix.markSaved();
        Heard heard;
        const auto hear = [&heard](const char* w) { return [&heard, w] { heard.push_back(w); }; };
        QObject::connect(&mix, &model::Mix::lanesChanged,
                         [&](int lane) { heard.push_back("lane " + std::to_string(lane)); });
        QObject::connect(&mix, &model::Mix::selectionChanged, hear("selection"));
        QObject::connect(&mix, &model::Mix::selectedClipEdited, hear("selected clip"));
        QObject::connect(&mix, &model::Mix::documentChanged, hear("document"));
        QObject::connect(&mix, &model::Mix::viewChanged, hear("view"));
        QObject::connect(&mix, &model::Mix::clipDeleted, [&](const QString& name) {
            heard.push_back("deleted " + name.toStdString());
        });
        c.change(mix);
        EXPECT_EQ(heard, c.heard) << c.name;
    }
}

}  // namespace
