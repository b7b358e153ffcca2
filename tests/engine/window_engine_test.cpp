// The engine on the main window: transport, head controls and the tick's time labels.
#include <QColor>
#include <QPaintEvent>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <map>

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

// Play and Preview show on their buttons and menu items; a start gives the clip under the head
// its offset, the play deck forgetting what sounds (not what started last); a stop forgets both
// and leaves the head.
TEST_F(EngineWindowTest, TogglesShowTheDeckAndStartFromTheHead) {
    struct Case {
        engine::Deck& deck;
        lanes::DeckView& view;
        QAction* action;
        model::PictureRef stopped, running;
        QString stoppedText, runningText;
        double model::Clip::*start;
        bool forgetsSounding;
    };
    for (const Case& c :
         {Case{w->playDeck, *w->playDeckView, w->menu->playAction, playButtonPicture(),
               pauseButtonPicture(), "Play", "Stop", &model::Clip::playStart, true},
          Case{w->previewDeck, *w->previewDeckView, w->menu->previewAction, previewButtonPicture(),
               previewPauseButtonPicture(), "Preview", "Stop Preview", &model::Clip::previewStart,
               false}}) {
        SCOPED_TRACE(c.runningText.toStdString());
        const double head = c.deck.head();
        auto clip = addClip(2, head - 50, 100);
        c.deck.current = c.deck.last = {clip, clip};
        c.view.button()->click();
        EXPECT_TRUE(c.deck.running());
        EXPECT_EQ(c.view.button()->picture(), c.running);
        EXPECT_EQ(c.action->text(), c.runningText);
        EXPECT_EQ(c.deck.current[0], c.forgetsSounding ? nullptr : clip);
        EXPECT_EQ(c.deck.last[1], clip);
        EXPECT_DOUBLE_EQ((*clip).*c.start, 50);
        c.view.button()->click();
        EXPECT_FALSE(c.deck.running());
        EXPECT_EQ(c.view.button()->picture(), c.stopped);
        EXPECT_EQ(c.action->text(), c.stoppedText);
        EXPECT_EQ(c.deck.current, (std::array<model::ClipRef, 2>{}));
        EXPECT_EQ(c.deck.last, (std::array<model::ClipRef, 2>{}));
        EXPECT_DOUBLE_EQ(c.deck.head(), head);
    }
}

// The head's controls stand where the deck's place on the timeline, less the scroll, puts them.
TEST_F(EngineWindowTest, HeadControlsFollowAndPark) {
    const lanes::DeckView& play = *w->playDeckView;
    const lanes::DeckView& preview = *w->previewDeckView;
    w->mix.scrollX = 60;
    play.label(2)->setText("0.00:01");
    play.label(1)->move(5, play.label(1)->y());
    w->playDeck.setHead(260.5);
    EXPECT_EQ(play.button()->x(), 193);
    EXPECT_EQ(play.line()->x1(), 200);
    EXPECT_EQ(play.line()->x2(), 200);
    EXPECT_EQ(play.mark()->x(), 200);
    EXPECT_EQ(play.label(1)->x(), 5);  // no text: stays where it was
    EXPECT_EQ(play.label(2)->x(), 204);

    w->playDeck.setHead(10.5);  // 49.5 pixels left of the window: still shown
    EXPECT_EQ(play.button()->x(), -56);
    for (double far : {10.0, 1e12}) {  // 50 pixels or more beyond the window: parked
        w->playDeck.setHead(far);
        for (int left : {play.button()->x(), play.line()->x1(), play.mark()->x(),
                         play.label(1)->x(), play.label(2)->x()})
            EXPECT_EQ(left, -100) << far;
    }

    preview.label(1)->setText("0.00:02");
    w->moveHeadTo(w->previewDeck, w->viewWidth() + 49);
    EXPECT_EQ(preview.label(1)->x(), w->viewWidth() + 60);
    w->moveHeadTo(w->previewDeck, w->viewWidth() + 50);
    EXPECT_EQ(preview.button()->x(), -100);
    EXPECT_DOUBLE_EQ(w->previewDeck.head(), w->viewWidth() + 110);
}

TEST_F(EngineWindowTest, TickWritesParkedPlayLabelsNeverAndPreviewLabelsAlways) {
    w->playDeckView->label(1)->setText("keep");
    w->previewDeckView->label(1)->setText("old");
    w->moveHeadTo(w->playDeck, -80);
    w->moveHeadTo(w->previewDeck, -80);
    w->playDeck.setRunning(true);
    w->previewDeck.setRunning(true);
    w->transport.tick();
    EXPECT_EQ(w->playDeckView->label(1)->text(), "keep");
    EXPECT_EQ(w->previewDeckView->label(1)->text(), "");
    // Gap steps: zoom / 35 and zoom / 10.
    EXPECT_DOUBLE_EQ(w->playDeckView->headX(), -80 + 1 / 35.0);
    EXPECT_DOUBLE_EQ(w->previewDeckView->headX(), -80 + 1 / 10.0);
}

// Stopped, the program does not wake every 10 ms: the tick's timer rests until a deck starts.
TEST_F(EngineWindowTest, TheTickRestsWhileNoDeckRuns) {
    for (bool preview : {false, true}) {
        const auto toggle = [&] { preview ? w->preview() : w->play(); };
        w->transport.tick();
        EXPECT_TRUE(w->transport.timer().resting());
        toggle();
        EXPECT_FALSE(w->transport.timer().resting());
        w->transport.tick();
        EXPECT_FALSE(w->transport.timer().resting());  // a running deck keeps it going
        toggle();
    }
    EXPECT_EQ(w->transport.timer().period(), 10);
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
    w->transport.timer().stop();  // the test runs the ticks itself
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    addClip(1, 400, 100);  // away from both heads: the decks take gap steps, no label changes
    w->playDeck.setRunning(true);
    w->previewDeck.setRunning(true);  // repaints the backdrop once, as Preview does
    QApplication::processEvents();
    PaintCounter counter;
    for (QWidget* lane : {static_cast<QWidget*>(w->laneView1), static_cast<QWidget*>(w->laneView2)})
        lane->installEventFilter(&counter);
    w->moveHeadTo(w->playDeck, 100);
    w->moveHeadTo(w->previewDeck, 300);
    // Gap steps of 1/35 and 1/10 pixel: nine ticks keep both heads on their pixels.
    for (int i = 0; i < 9; ++i) {
        w->transport.tick();
        QApplication::processEvents();
    }
    EXPECT_TRUE(counter.paints.empty());
    EXPECT_EQ(model::whole(w->previewDeckView->headX()), 300);
    w->transport.tick();  // the preview head reaches 301
    QApplication::processEvents();
    w->playDeck.setRunning(false);
    w->previewDeck.setRunning(false);
    EXPECT_EQ(model::whole(w->previewDeckView->headX()), 301);
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
    EXPECT_DOUBLE_EQ(w->previewDeckView->headX(),
                     300 + 1 / 10.0);  // no jump back to the clip's edge
    EXPECT_TRUE(w->previewDeck.running());
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
        for (engine::Deck* deck : {&w->playDeck, &w->previewDeck}) deck->setHead(300);
        (c.preview ? w->previewDeck : w->playDeck).setRunning(true);
        w->transport.tick();
        for (engine::Deck* deck : {&w->playDeck, &w->previewDeck}) deck->setRunning(false);
        EXPECT_EQ(w->statusLine->text(), c.status);
    }
}

}  // namespace
