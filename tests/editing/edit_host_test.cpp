// The edit commands on a mix alone: a host that only records what it is asked to show.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editing/clipboard.h"
#include "editing/selection.h"

namespace {

struct RecordingHost : model::StatusLine, editing::EditHost {
    RecordingHost() : EditHost(static_cast<model::StatusLine&>(*this)) {}

    std::array<model::ClipRef, 2> pressed;
    model::ClipRef sounding;
    QString status;
    std::vector<std::string> calls;

    model::ClipRef pressedClip(int lane) const override { return pressed[lane == 2 ? 1 : 0]; }
    bool soundingOnPlayDeck(const model::ClipRef& c) const override { return c && c == sounding; }
    void showMessage(const QString& text) override { status = text; }
    QString text() const override { return status; }
    void clearLaneSelection(int lane) override {
        calls.push_back("deselect " + std::to_string(lane));
    }
    model::PictureRef makeClipPicture(const QString&, double, double, double, double, double,
                                      int32_t) override {
        return nullptr;
    }
    void togglePreview() override {}
    void exportMix() override {}
};

model::ClipRef clipAt(model::Mix& mix, int lane, double left, double length, const QString& name) {
    return mix.addNewClip(lane, left, {.name = name, .lengthPx = length, .lane = lane});
}

TEST(EditSelection, IsTheIndexedClipOnlyWhileItsLaneShowsItPressed) {
    struct Case {
        const char* name;
        int lane, index;
        bool pressSelected;  // else another clip is pressed
        bool selected;
    };
    const Case cases[] = {
        {"pressed", 2, 1, true, true},
        {"lane 1", 1, 0, true, true},
        {"another pressed", 2, 1, false, false},
        {"no lane", 0, 0, true, false},
        {"lane -1", -1, 0, true, false},
        {"index -1", 2, -1, true, false},
        {"index past the end", 2, 2, true, false},
    };
    for (const Case& c : cases) {
        model::Mix mix;
        RecordingHost host;
        clipAt(mix, 1, 0, 50, "a");
        clipAt(mix, 2, 0, 50, "b");
        clipAt(mix, 2, 100, 50, "c");
        mix.select(c.lane, c.index);
        const int lane = c.lane == 1 ? 1 : 2;
        const size_t at = c.index >= 0 && c.index < 2 ? c.index : 0;
        host.pressed[lane - 1] =
            c.pressSelected ? mix.lane(lane)[at] : std::make_shared<model::Clip>();
        const model::ClipRef found = editing::selectedClip(mix, host);
        EXPECT_EQ(found != nullptr, c.selected) << c.name;
        if (c.selected) {
            EXPECT_EQ(found, mix.lane(lane)[c.index]) << c.name;
        }
    }
}

TEST(EditClipboard, CopiesPastesAndClearsOnTheMixAlone) {
    model::Mix mix;
    RecordingHost host;
    const model::ClipRef a = clipAt(mix, 1, 0, 100, "a");
    mix.select(1, 0);
    host.pressed[0] = a;
    QObject::connect(&mix, &model::Mix::lanesChanged,
                     [&](int lane) { host.calls.push_back("lane " + std::to_string(lane)); });

    host.sounding = a;  // a sounding clip is copied but stays
    ASSERT_TRUE(editing::copySelectedClip(mix, host));
    editing::clearSelectedClip(mix, host);
    EXPECT_EQ(mix.lane(1).size(), 1u);

    host.sounding = nullptr;
    editing::clearSelectedClip(mix, host);
    EXPECT_TRUE(mix.lane(1).empty());
    EXPECT_EQ(mix.selection(), std::nullopt);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"lane 1", "deselect 1"}));

    mix.setPasteTarget(model::PasteTarget{200, 2});
    editing::pasteClipboardClip(mix, host);
    ASSERT_EQ(mix.lane(2).size(), 1u);
    EXPECT_EQ(mix.lane(2)[0]->name, "a");
    EXPECT_NE(mix.lane(2)[0], mix.clipboardClip());
    mix.setPasteTarget(model::PasteTarget{250, 2});  // overlaps the clip just pasted
    editing::pasteClipboardClip(mix, host);
    EXPECT_EQ(mix.lane(2).size(), 1u);
    EXPECT_EQ(host.status, editing::kOverlapRefusedText);
    EXPECT_EQ(host.calls.back(), "lane 2");
}

}  // namespace
