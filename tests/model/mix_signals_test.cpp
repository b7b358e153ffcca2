// The mix tells its views what changed: each kind of change emits its own signals, and only those.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "model/mix.h"

namespace {

TEST(MixSignals, EachChangeTellsItsViews) {
    struct Case {
        const char* name;
        std::function<void(model::Mix&)> change;
        std::vector<std::string> heard;
    };
    const auto add = [](model::Mix& m, int lane, double left) {
        return m.addNewClip(lane, nullptr, left, "c", 50, QString(), lane, 0, 50, 0, 50, 0);
    };
    const Case cases[] = {
        {"add", [&](model::Mix& m) { add(m, 2, 500); }, {"document", "lane 2"}},
        {"add the same clip again", [](model::Mix& m) { m.addClip(1, m.lane(1)[0]); }, {}},
        {"bring to front", [](model::Mix& m) { m.bringToFront(1, m.lane(1)[0]); }, {"lane 1"}},
        {"take", [](model::Mix& m) { m.takeClip(1, 1); }, {"lane 1"}},
        {"delete", [](model::Mix& m) { m.deleteClip(1, 0); }, {"lane 1", "document", "deleted c"}},
        {"shift", [](model::Mix& m) { m.shiftClipsRight(10, 0); }, {"lane 1", "lane 2"}},
        {"swap", [](model::Mix& m) { m.swapClipsFrom(0); }, {"lane 1", "lane 2"}},
        {"edit in place", [](model::Mix& m) { m.clipsEdited(2); }, {"lane 2"}},
        {"edit the selection",
         [](model::Mix& m) { m.markSelectedClipEdited(); },
         {"lane 1", "selected clip"}},
        {"select", [](model::Mix& m) { m.select(2, 0); }, {"selection"}},
        {"deselect", [](model::Mix& m) { m.clearSelection(); }, {"selection"}},
        {"zoom", [](model::Mix& m) { m.setZoom(2); }, {"view"}},
        {"scroll", [](model::Mix& m) { m.setScrollX(60); }, {"view"}},
        {"path alone", [](model::Mix& m) { m.setPath("/a.txt"); }, {}},
        {"saved", [](model::Mix& m) { m.markSaved(); }, {"document"}},
    };
    for (const Case& c : cases) {
        model::Mix mix;
        add(mix, 1, 0);
        add(mix, 1, 100);
        mix.markSaved();
        std::vector<std::string> heard;
        QObject::connect(&mix, &model::Mix::lanesChanged,
                         [&](int lane) { heard.push_back("lane " + std::to_string(lane)); });
        QObject::connect(&mix, &model::Mix::selectionChanged,
                         [&] { heard.push_back("selection"); });
        QObject::connect(&mix, &model::Mix::selectedClipEdited,
                         [&] { heard.push_back("selected clip"); });
        QObject::connect(&mix, &model::Mix::documentChanged, [&] { heard.push_back("document"); });
        QObject::connect(&mix, &model::Mix::viewChanged, [&] { heard.push_back("view"); });
        QObject::connect(&mix, &model::Mix::clipDeleted, [&](const QString& name) {
            heard.push_back("deleted " + name.toStdString());
        });
        mix.select(1, 0);
        heard.clear();
        c.change(mix);
        EXPECT_EQ(heard, c.heard) << c.name;
    }
}

}  // namespace
