// A click on the window's background: the heads it places, the lane it picks, the paste target.
#include <QColor>

#include "media/output.h"
#include "support/app_fixture.h"

namespace {

using testsupport::AppFixture;

class BackgroundClickTest : public AppFixture {
  protected:
    const QColor orange{255, 162, 0}, grey{160, 160, 160};
};

TEST_F(BackgroundClickTest, RulerClickRestartsThePreviewThere) {
    w->laneView1->addNewClip(
        200, {.name = "clip", .path = "/nowhere/clip.mp3", .lengthPx = 100, .lane = 1});
    const model::ClipRef clip = w->laneView1->clips.back();
    w->previewDeck.setRunning(true);
    w->previewDeck.current[0] = w->previewDeck.last[0] = clip;
    w->mix.selection = model::ClipSelection{1, 3};
    w->statusLine->setText("something");
    w->backgroundClicked(230, 10);
    EXPECT_TRUE(w->previewDeck.running());
    EXPECT_EQ(w->previewDeck.current[0], nullptr);
    EXPECT_EQ(w->previewDeck.last[0], nullptr);
    EXPECT_DOUBLE_EQ(w->previewDeckView->headX(), 230);
    EXPECT_DOUBLE_EQ(clip->previewStart, 30);
    EXPECT_EQ(w->menu->previewAction->text(), "Stop Preview");
    EXPECT_EQ(w->mix.selection, std::nullopt);
    EXPECT_TRUE(w->statusLine->text().isEmpty());
    EXPECT_EQ(w->mix.pasteTarget, std::nullopt);
    EXPECT_FALSE(w->menu->pasteAllowed);
    EXPECT_EQ(w->lane1Border->lineColor(), grey);
    w->preview();  // the menu bar outlives the window: leave its item saying "Preview"
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
        w->init();
        EXPECT_EQ(w->volumeMeter->height(), c.height) << c.volume;
        EXPECT_EQ(w->volumeMeter->y(), c.top) << c.volume;
    }
    media::setSystemVolume(before);
}

TEST_F(BackgroundClickTest, LaneClickChoosesTheLaneAndMovesOnlyThePreviewHead) {
    w->activeLane = 2;
    w->backgroundClicked(120, 60);
    EXPECT_EQ(w->lane1Border->lineColor(), orange);
    EXPECT_EQ(w->lane2Border->lineColor(), grey);
    EXPECT_EQ(w->mix.pasteTarget, (model::PasteTarget{120, 1}));
    EXPECT_TRUE(w->menu->pasteAllowed);
    EXPECT_EQ(w->activeLane, 1);
    EXPECT_DOUBLE_EQ(w->previewDeckView->headX(), 120);
    EXPECT_DOUBLE_EQ(w->playDeckView->headX(), 100);
    EXPECT_FALSE(w->previewDeck.running());

    w->backgroundClicked(140, 150);  // below everything: no lane, the active lane stays
    EXPECT_EQ(w->lane1Border->lineColor(), grey);
    EXPECT_EQ(w->mix.pasteTarget, std::nullopt);
    EXPECT_EQ(w->activeLane, 1);
}

TEST_F(BackgroundClickTest, StripUnderLaneOneOverlapsLaneTwo) {
    w->backgroundClicked(333, 90);
    EXPECT_DOUBLE_EQ(w->playDeckView->headX(), 333);
    EXPECT_DOUBLE_EQ(w->previewDeckView->headX(), 333);
    EXPECT_EQ(w->activeLane, 2);
    EXPECT_EQ(w->lane2Border->lineColor(), orange);
}

TEST_F(BackgroundClickTest, StripClickLeavesARunningPlayHead) {
    w->playDeck.setRunning(true);
    w->backgroundClicked(333, 125);
    EXPECT_DOUBLE_EQ(w->playDeckView->headX(), 100);
    EXPECT_TRUE(w->playDeck.running());
}

}  // namespace
