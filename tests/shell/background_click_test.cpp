// A click on the window's background: the heads it places, the lane it picks, the paste target.
#include <QColor>

#include "media/clip_movie.h"
#include "media/output.h"
#include "support/app_fixture.h"

namespace {

using testsupport::AppFixture;

class BackgroundClickTest : public AppFixture {
  protected:
    const QColor orange{255, 162, 0}, grey{160, 160, 160};
};

TEST_F(BackgroundClickTest, RulerClickRestartsThePreviewThere) {
    lane(1)->addNewClip(200,
                        {.name = "clip", .path = "/nowhere/clip.mp3", .lengthPx = 100, .lane = 1});
    const model::ClipRef clip = lane(1)->clips.back();
    previewDeck().setRunning(true);
    previewDeck().current[0] = previewDeck().last[0] = clip;
    mix().select(1, 3);
    statusLine()->setText("something");
    ASSERT_TRUE(media::testing::waitForClipMovies());  // its file tried, and found missing
    clickBackground(230, 10);
    // The preview's first step runs at once: the clip is tried afresh there (its file is
    // missing, so the head moves on by a gap step).
    EXPECT_TRUE(previewDeck().running());
    EXPECT_EQ(previewDeck().current[0], nullptr);
    EXPECT_EQ(previewDeck().last[0], clip);
    EXPECT_DOUBLE_EQ(previewDeckView()->headX(), 230 + 1 / 10.0);
    EXPECT_DOUBLE_EQ(clip->previewStart, 30);
    EXPECT_EQ(menu()->previewAction->text(), "Stop Preview");
    EXPECT_EQ(mix().selection(), std::nullopt);
    EXPECT_EQ(statusText(), "Error opening clip.mp3 as movie.");
    EXPECT_EQ(mix().pasteTarget(), std::nullopt);
    EXPECT_FALSE(menu()->pasteAllowed);
    EXPECT_EQ(control<platform::Line>("lane1Border")->lineColor(), grey);
    menu()->previewAction->trigger();  // the menu bar outlives the window: leave its item saying
                                       // "Preview"
}

// The volume bar grows upwards from y 178, 14 pixels at full volume.
TEST_F(BackgroundClickTest, VolumeBarShowsTheSystemVolume) {
    const double before = media::systemVolume();
    const struct {
        double volume;
        int height, top;
    } cases[] = {{1.0, 14, 164}, {0.0, 0, 178}, {0.5, 7, 171}, {0.99, 13, 165}};
    for (const auto& c : cases) {
        media::setSystemVolume(c.volume);
        documents().resetDocument();
        EXPECT_EQ(control<platform::BorderedRectangle>("volumeMeter")->height(), c.height)
            << c.volume;
        EXPECT_EQ(control<platform::BorderedRectangle>("volumeMeter")->y(), c.top) << c.volume;
    }
    media::setSystemVolume(before);
}

TEST_F(BackgroundClickTest, LaneClickChoosesTheLaneAndMovesOnlyThePreviewHead) {
    laneServices().setActiveLane(2);
    clickBackground(120, 60);
    EXPECT_EQ(control<platform::Line>("lane1Border")->lineColor(), orange);
    EXPECT_EQ(control<platform::Line>("lane2Border")->lineColor(), grey);
    EXPECT_EQ(mix().pasteTarget(), (model::PasteTarget{120, 1}));
    EXPECT_TRUE(menu()->pasteAllowed);
    EXPECT_EQ(laneServices().activeLane(), 1);
    EXPECT_DOUBLE_EQ(previewDeckView()->headX(), 120);
    EXPECT_DOUBLE_EQ(playDeckView()->headX(), 100);
    EXPECT_FALSE(previewDeck().running());

    clickBackground(140, 150);  // below everything: no lane, the active lane stays
    EXPECT_EQ(control<platform::Line>("lane1Border")->lineColor(), grey);
    EXPECT_EQ(mix().pasteTarget(), std::nullopt);
    EXPECT_EQ(laneServices().activeLane(), 1);
}

TEST_F(BackgroundClickTest, StripUnderLaneOneOverlapsLaneTwoAndLeavesARunningPlayHead) {
    clickBackground(333, 90);
    EXPECT_DOUBLE_EQ(playDeckView()->headX(), 333);
    EXPECT_DOUBLE_EQ(previewDeckView()->headX(), 333);
    EXPECT_EQ(laneServices().activeLane(), 2);
    EXPECT_EQ(control<platform::Line>("lane2Border")->lineColor(), orange);
    playDeck().setRunning(true);
    decks().moveHeadTo(playDeck(), 100);
    clickBackground(333, 125);
    EXPECT_DOUBLE_EQ(playDeckView()->headX(), 100);
    EXPECT_TRUE(playDeck().running());
}

}  // namespace
