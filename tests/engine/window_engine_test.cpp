// The engine on the main window: transport, head controls and the tick's time labels.
#include <QColor>
#include <QPaintEvent>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <map>

#include "engine/routing.h"
#include "media/clip_movie.h"
#include "media/output.h"
#include "model/numtext.h"
#include "shell/pictures.h"
#include "support/app_fixture.h"
#include "support/temp_files.h"

namespace {

using testsupport::AppFixture;

class EngineWindowTest : public AppFixture {
  protected:
    model::ClipRef addClip(int lane, double left, double length) {
        LaneView* c = w->lane(lane);
        c->addNewClip(
            left, {.name = "clip", .path = "/nowhere/clip.mp3", .lengthPx = length, .lane = lane});
        return c->clips.back();
    }
};

TEST_F(EngineWindowTest, PlayToggleSwapsIconAndTextAndForgetsOnStop) {
    auto clip = addClip(1, 50, 100);
    w->playDeck.current[0] = w->playDeck.last[0] = w->playDeck.current[1] = w->playDeck.last[1] =
        clip;
    w->play();
    EXPECT_TRUE(w->playDeck.running);
    EXPECT_EQ(w->playDeck.button->picture(), pauseButtonPicture());
    EXPECT_EQ(w->menu->playAction->text(), "Stop");
    EXPECT_EQ(w->playDeck.current[0],
              nullptr);  // starting forgets the clips now sounding, not the last ones
    EXPECT_EQ(w->playDeck.current[1], nullptr);
    EXPECT_EQ(w->playDeck.last[0], clip);
    EXPECT_DOUBLE_EQ(clip->playStart, 50);  // the head at 100 lies 50 into the clip
    w->play();
    EXPECT_FALSE(w->playDeck.running);
    EXPECT_EQ(w->playDeck.button->picture(), playButtonPicture());
    EXPECT_EQ(w->menu->playAction->text(), "Play");
    EXPECT_EQ(w->playDeck.last[0], nullptr);
    EXPECT_EQ(w->playDeck.last[1], nullptr);
    EXPECT_DOUBLE_EQ(w->playDeck.headX, 100);  // stopping leaves the head
}

TEST_F(EngineWindowTest, PreviewToggleKeepsSoundingClipsWhenStarting) {
    auto clip = addClip(2, 250, 100);
    w->previewDeck.current[0] = w->previewDeck.last[1] = clip;
    w->preview();
    EXPECT_TRUE(w->previewDeck.running);
    EXPECT_EQ(w->previewDeck.button->picture(), previewPauseButtonPicture());
    EXPECT_EQ(w->menu->previewAction->text(), "Stop Preview");
    EXPECT_EQ(w->previewDeck.current[0], clip);
    EXPECT_DOUBLE_EQ(clip->previewStart, 50);
    w->previewDeck.button->click();
    EXPECT_FALSE(w->previewDeck.running);
    EXPECT_EQ(w->previewDeck.button->picture(), previewButtonPicture());
    EXPECT_EQ(w->menu->previewAction->text(), "Preview");
    EXPECT_EQ(w->previewDeck.current[0], nullptr);
    EXPECT_EQ(w->previewDeck.last[1], nullptr);
}

TEST_F(EngineWindowTest, HeadControlsFollowAndPark) {
    w->mix.scrollX = 60;
    w->playDeck.labels[1]->setText("0.00:01");
    w->playDeck.labels[0]->move(5, w->playDeck.labels[0]->y());
    w->moveHeadTo(w->playDeck, 200.5);
    EXPECT_EQ(w->playDeck.button->x(), 193);
    EXPECT_EQ(w->playDeck.line->x1(), 200);
    EXPECT_EQ(w->playDeck.line->x2(), 200);
    EXPECT_EQ(w->playDeck.mark->x(), 200);
    EXPECT_EQ(w->playDeck.labels[0]->x(), 5);  // no text: stays where it was
    EXPECT_EQ(w->playDeck.labels[1]->x(), 204);
    EXPECT_DOUBLE_EQ(w->playDeck.headTimelineX, 260.5);

    w->moveHeadTo(w->playDeck, -50);
    for (int left : {w->playDeck.button->x(), w->playDeck.line->x1(), w->playDeck.mark->x(),
                     w->playDeck.labels[0]->x(), w->playDeck.labels[1]->x()}) {
        EXPECT_EQ(left, -100);
    }
    EXPECT_DOUBLE_EQ(w->playDeck.headX, -50);
    EXPECT_DOUBLE_EQ(w->playDeck.headTimelineX, 10);

    w->previewDeck.labels[0]->setText("0.00:02");
    w->moveHeadTo(w->previewDeck, w->viewWidth() + 49);
    EXPECT_EQ(w->previewDeck.labels[0]->x(), w->viewWidth() + 60);
    w->moveHeadTo(w->previewDeck, w->viewWidth() + 50);
    EXPECT_EQ(w->previewDeck.button->x(), -100);
    EXPECT_DOUBLE_EQ(w->previewDeck.headTimelineX, w->viewWidth() + 110);
}

TEST_F(EngineWindowTest, TickWritesParkedPlayLabelsNeverAndPreviewLabelsAlways) {
    w->playDeck.labels[0]->setText("keep");
    w->previewDeck.labels[0]->setText("old");
    w->moveHeadTo(w->playDeck, -80);
    w->moveHeadTo(w->previewDeck, -80);
    w->playDeck.running = w->previewDeck.running = true;
    w->transport.tick();
    EXPECT_EQ(w->playDeck.labels[0]->text(), "keep");
    EXPECT_EQ(w->previewDeck.labels[0]->text(), "");
    // Gap steps: zoom / 35 and zoom / 10.
    EXPECT_DOUBLE_EQ(w->playDeck.headX, -80 + 1 / 35.0);
    EXPECT_DOUBLE_EQ(w->previewDeck.headX, -80 + 1 / 10.0);
}

// Stopped, the program does not wake every 10 ms: the tick's timer rests until a deck starts.
TEST_F(EngineWindowTest, TheTickRestsWhileNoDeckRuns) {
    for (bool preview : {false, true}) {
        const auto toggle = [&] { preview ? w->preview() : w->play(); };
        w->transport.tick();
        EXPECT_TRUE(w->deckTimer.resting());
        toggle();
        EXPECT_FALSE(w->deckTimer.resting());
        w->transport.tick();
        EXPECT_FALSE(w->deckTimer.resting());  // a running deck keeps it going
        toggle();
    }
    EXPECT_EQ(w->deckTimer.period(), 10);
}

// Counts the paint events of the widgets it watches and the widest area one of them asked for.
class PaintCounter : public QObject {
  public:
    std::map<QObject*, int> paints;
    int widest = 0;
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::Paint) {
            ++paints[watched];
            widest = std::max(widest, static_cast<QPaintEvent*>(e)->rect().width());
        }
        return false;
    }
};

// The 10 ms tick places the heads on every step, but the lanes under them are drawn only when a
// head reaches another pixel, and then only the columns it left and entered.
TEST_F(EngineWindowTest, TicksRepaintTheLanesOnlyWhenAHeadMovesAPixel) {
    w->deckTimer.stop();  // the test runs the ticks itself
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    addClip(1, 400, 100);  // away from both heads: the decks take gap steps, no label changes
    QApplication::processEvents();
    PaintCounter counter;
    for (QWidget* lane : {static_cast<QWidget*>(w->laneView1), static_cast<QWidget*>(w->laneView2)})
        lane->installEventFilter(&counter);
    w->moveHeadTo(w->playDeck, 100);
    w->moveHeadTo(w->previewDeck, 300);
    w->playDeck.running = w->previewDeck.running = true;
    // Gap steps of 1/35 and 1/10 pixel: nine ticks keep both heads on their pixels.
    for (int i = 0; i < 9; ++i) {
        w->transport.tick();
        QApplication::processEvents();
    }
    EXPECT_TRUE(counter.paints.empty());
    EXPECT_EQ(model::whole(w->previewDeck.headX), 300);
    w->transport.tick();  // the preview head reaches 301
    QApplication::processEvents();
    w->playDeck.running = w->previewDeck.running = false;
    EXPECT_EQ(model::whole(w->previewDeck.headX), 301);
    EXPECT_GE(counter.paints[w->laneView1], 1);
    EXPECT_LE(counter.widest, 2);
    // What the window shows after drawing one column at a time is what it shows drawn whole.
    const auto shown = [this] {
        const QPoint at = w->laneView1->mapTo(w, QPoint(0, 0));
        return w->screen()->grabWindow(w->winId(), at.x(), at.y(), 800, 80).toImage();
    };
    const QImage columns = shown();
    ASSERT_FALSE(columns.isNull());
    w->centralWidget()->update();
    QApplication::processEvents();
    EXPECT_EQ(shown(), columns);
}

TEST_F(EngineWindowTest, MissingFileOnThePreviewDeckAsksNothingAndRunsOn) {
    auto clip = addClip(1, 250, 100);  // its file does not exist
    openFiles.push_back("/would/be/chosen.mp3");
    ASSERT_TRUE(media::testing::waitForClipMovies());  // tried on the worker, not the tick
    w->preview();
    w->transport.tick();
    EXPECT_TRUE(shownDialogs.empty());
    EXPECT_EQ(openFiles.size(), 1u);  // no file dialog either
    EXPECT_EQ(w->previewDeck.current[0], nullptr);
    EXPECT_EQ(w->previewDeck.last[0], clip);
    EXPECT_EQ(w->previewDeck.players[0].movie(), nullptr);
    EXPECT_DOUBLE_EQ(w->previewDeck.headX, 300 + 1 / 10.0);  // no jump back to the clip's edge
    EXPECT_TRUE(w->previewDeck.running);
}

TEST_F(EngineWindowTest, ADeckReachingAClipItCannotPlaySaysSo) {
    QTemporaryDir dir;
    const QString text = dir.filePath("letter.mp3");
    ASSERT_TRUE(testsupport::writeFile(text, "Dear Sir, this is no sound."));
    const struct {
        bool preview;
        QString path;
        const char* status;
    } cases[] = {
        {false, "/nowhere/gone.mp3", "Error opening gone.mp3 as movie."},
        {true, text, "Error opening letter.mp3 as movie."},
        {true, "/dev/zero", "Error opening zero as movie."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status);
        w->init();
        w->statusLine->setText("");
        w->laneView1->addNewClip(250, {.name = "clip", .path = c.path, .lengthPx = 100, .lane = 1});
        ASSERT_TRUE(media::testing::waitForClipMovies());  // tried on the worker, not the tick
        w->playDeck.headX = w->previewDeck.headX = 300;
        (c.preview ? w->previewDeck.running : w->playDeck.running) = true;
        w->transport.tick();
        w->playDeck.running = w->previewDeck.running = false;
        EXPECT_EQ(w->statusLine->text(), c.status);
    }
}

TEST_F(EngineWindowTest, RoutingWithoutAMovieDoesNothing) {
    openFiles.push_back("/would/be/chosen.mp3");
    engine::routePlayer(w->previewDeck.players[0], 1234);
    EXPECT_EQ(openFiles.size(), 1u);
    EXPECT_EQ(engine::playerOutput(w->previewDeck.players[0]), 0);
}

}  // namespace
