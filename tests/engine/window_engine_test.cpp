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

class EngineWindowTest : public AppFixture {};

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
    for (const Case& c : {Case{playDeck(), *playDeckView(), menu()->playAction, playButtonPicture(),
                               pauseButtonPicture(), "Play", "Stop", &model::Clip::playStart, true},
                          Case{previewDeck(), *previewDeckView(), menu()->previewAction,
                               previewButtonPicture(), previewPauseButtonPicture(), "Preview",
                               "Stop Preview", &model::Clip::previewStart, false}}) {
        SCOPED_TRACE(c.runningText.toStdString());
        const double head = c.deck.head();
        auto clip = add(lane(2), head - 50, 100);
        c.deck.current = c.deck.last = {clip, clip};
        transport().setStartOffsets(c.deck, head);
        EXPECT_EQ(c.deck.current[0], c.forgetsSounding ? nullptr : clip);
        EXPECT_EQ(c.deck.last[1], clip);
        c.view.button()->click();  // its first step runs at once
        EXPECT_TRUE(c.deck.running());
        EXPECT_EQ(c.view.button()->picture(), c.running);
        EXPECT_EQ(c.action->text(), c.runningText);
        EXPECT_DOUBLE_EQ((*clip).*c.start, 50);
        const double running = c.deck.head();
        c.view.button()->click();
        EXPECT_FALSE(c.deck.running());
        EXPECT_EQ(c.view.button()->picture(), c.stopped);
        EXPECT_EQ(c.action->text(), c.stoppedText);
        EXPECT_EQ(c.deck.current, (std::array<model::ClipRef, 2>{}));
        EXPECT_EQ(c.deck.last, (std::array<model::ClipRef, 2>{}));
        EXPECT_DOUBLE_EQ(c.deck.head(), running);
    }
}

// The head's controls stand where the deck's place on the timeline, less the scroll, puts them.
TEST_F(EngineWindowTest, HeadControlsFollowAndPark) {
    const lanes::DeckView& play = *playDeckView();
    const lanes::DeckView& preview = *previewDeckView();
    mix().setScrollX(60);
    play.label(2)->setText("0.00:01");
    play.label(1)->move(5, play.label(1)->y());
    playDeck().setHead(260.5);
    EXPECT_EQ(play.button()->x(), 193);
    EXPECT_EQ(play.line()->x1(), 200);
    EXPECT_EQ(play.line()->x2(), 200);
    EXPECT_EQ(play.mark()->x(), 200);
    EXPECT_EQ(play.label(1)->x(), 5);  // no text: stays where it was
    EXPECT_EQ(play.label(2)->x(), 204);

    playDeck().setHead(10.5);  // 49.5 pixels left of the window: still shown
    EXPECT_EQ(play.button()->x(), -56);
    for (double far : {10.0, 1e12}) {  // 50 pixels or more beyond the window: parked
        playDeck().setHead(far);
        for (int left : {play.button()->x(), play.line()->x1(), play.mark()->x(),
                         play.label(1)->x(), play.label(2)->x()})
            EXPECT_EQ(left, -100) << far;
    }

    preview.label(1)->setText("0.00:02");
    decks().moveHeadTo(previewDeck(), 800 + 49);  // right of the 800-pixel view
    EXPECT_EQ(preview.label(1)->x(), 800 + 60);
    decks().moveHeadTo(previewDeck(), 800 + 50);
    EXPECT_EQ(preview.button()->x(), -100);
    EXPECT_DOUBLE_EQ(previewDeck().head(), 800 + 110);
}

TEST_F(EngineWindowTest, TickWritesParkedPlayLabelsNeverAndPreviewLabelsAlways) {
    playDeckView()->label(1)->setText("keep");
    previewDeckView()->label(1)->setText("old");
    decks().moveHeadTo(playDeck(), -80);
    decks().moveHeadTo(previewDeck(), -80);
    playDeck().setRunning(true);
    previewDeck().setRunning(true);
    transport().tick();
    EXPECT_EQ(playDeckView()->label(1)->text(), "keep");
    EXPECT_EQ(previewDeckView()->label(1)->text(), "");
    // Gap steps: zoom / 35 and zoom / 10.
    EXPECT_DOUBLE_EQ(playDeckView()->headX(), -80 + 1 / 35.0);
    EXPECT_DOUBLE_EQ(previewDeckView()->headX(), -80 + 1 / 10.0);
}

// Stopped, the program does not wake every 10 ms: the tick's timer rests until a deck starts.
TEST_F(EngineWindowTest, TheTickRestsWhileNoDeckRuns) {
    for (bool preview : {false, true}) {
        const auto toggle = [&] {
            preview ? menu()->previewAction->trigger() : menu()->playAction->trigger();
        };
        transport().tick();
        EXPECT_TRUE(transport().timer().resting());
        toggle();
        EXPECT_FALSE(transport().timer().resting());
        transport().tick();
        EXPECT_FALSE(transport().timer().resting());  // a running deck keeps it going
        toggle();
    }
    EXPECT_EQ(transport().timer().period(), 10);
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
    transport().timer().stop();  // the test runs the ticks itself
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    add(lane(1), 400, 100);  // away from both heads: the decks take gap steps, no label changes
    playDeck().setRunning(true);
    previewDeck().setRunning(true);  // repaints the backdrop once, as Preview does
    QApplication::processEvents();
    PaintCounter counter;
    for (QWidget* lane : {static_cast<QWidget*>(lane(1)), static_cast<QWidget*>(lane(2))})
        lane->installEventFilter(&counter);
    decks().moveHeadTo(playDeck(), 100);
    decks().moveHeadTo(previewDeck(), 300);
    // Gap steps of 1/35 and 1/10 pixel: nine ticks keep both heads on their pixels.
    for (int i = 0; i < 9; ++i) {
        transport().tick();
        QApplication::processEvents();
    }
    EXPECT_TRUE(counter.paints.empty());
    EXPECT_EQ(model::whole(previewDeckView()->headX()), 300);
    transport().tick();  // the preview head reaches 301
    QApplication::processEvents();
    playDeck().setRunning(false);
    previewDeck().setRunning(false);
    EXPECT_EQ(model::whole(previewDeckView()->headX()), 301);
    EXPECT_GE(counter.paints[lane(1)], 1);
    EXPECT_LE(counter.widest, 2);
    // What the window shows after drawing one column at a time is what it shows drawn whole.
    const auto shown = [this] {
        const QPoint at = lane(1)->mapTo(w, QPoint(0, 0));
        return w->screen()->grabWindow(w->winId(), at.x(), at.y(), 800, 80).toImage();
    };
    const QImage columns = shown();
    ASSERT_FALSE(columns.isNull());
    w->centralWidget()->update();
    QApplication::processEvents();
    EXPECT_EQ(shown(), columns);
}

TEST_F(EngineWindowTest, MissingFileOnThePreviewDeckAsksNothingAndRunsOn) {
    auto clip = add(lane(1), 250, 100);  // its file does not exist
    openFiles.push_back("/would/be/chosen.mp3");
    ASSERT_TRUE(media::testing::waitForClipMovies());  // tried on the worker, not the tick
    menu()->previewAction->trigger();                  // its first step runs at once
    EXPECT_TRUE(shownDialogs.empty());
    EXPECT_EQ(openFiles.size(), 1u);  // no file dialog either
    EXPECT_EQ(previewDeck().current[0], nullptr);
    EXPECT_EQ(previewDeck().last[0], clip);
    EXPECT_EQ(previewDeck().players[0].movie(), nullptr);
    EXPECT_DOUBLE_EQ(previewDeckView()->headX(),
                     300 + 1 / 10.0);  // no jump back to the clip's edge
    EXPECT_TRUE(previewDeck().running());
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
        documents().resetDocument();
        statusLine()->setText("");
        lane(1)->addNewClip(250, {.name = "clip", .path = c.path, .lengthPx = 100, .lane = 1});
        ASSERT_TRUE(media::testing::waitForClipMovies());  // tried on the worker, not the tick
        for (engine::Deck* deck : {&playDeck(), &previewDeck()}) deck->setHead(300);
        (c.preview ? previewDeck() : playDeck()).setRunning(true);
        transport().tick();
        for (engine::Deck* deck : {&playDeck(), &previewDeck()}) deck->setRunning(false);
        EXPECT_EQ(statusText(), c.status);
    }
}

}  // namespace
