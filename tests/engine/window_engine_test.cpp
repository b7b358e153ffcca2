// The engine on the main window: transport, head controls, the background click and the tick's
// time labels.
#include <QColor>
#include <QPaintEvent>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <map>

#include "media/clip_movie.h"
#include "media/output.h"
#include "platform/numtext.h"
#include "shell/pictures.h"
#include "support/app_fixture.h"
#include "support/temp_files.h"

namespace {

using testsupport::AppFixture;

class EngineWindowTest : public AppFixture {
  protected:
    DragPicRef addClip(int lane, double left, double dauer) {
        DragCanvas* c = w->lane(lane);
        c->AddPicture(nullptr, left, 16, "clip", dauer, "/nowhere/clip.mp3", lane, 0, dauer, 0,
                      dauer, 0);
        return c->mPics.back();
    }
    const QColor orange{255, 162, 0}, grey{160, 160, 160};
};

TEST_F(EngineWindowTest, PlayToggleSwapsIconAndTextAndForgetsOnStop) {
    auto clip = addClip(1, 50, 100);
    w->pam = w->oldpam = w->pam2 = w->oldpam2 = clip;
    w->play();
    EXPECT_TRUE(w->pplay1);
    EXPECT_EQ(w->playbutton->Icon(), pauseb());
    EXPECT_EQ(w->menuplay()->Text(), "Stop");
    EXPECT_EQ(w->pam, nullptr);  // starting forgets the clips now sounding, not the last ones
    EXPECT_EQ(w->pam2, nullptr);
    EXPECT_EQ(w->oldpam, clip);
    EXPECT_DOUBLE_EQ(clip->pplaypos, 50);  // the head at 100 lies 50 into the clip
    w->play();
    EXPECT_FALSE(w->pplay1);
    EXPECT_EQ(w->playbutton->Icon(), playb());
    EXPECT_EQ(w->menuplay()->Text(), "Play");
    EXPECT_EQ(w->oldpam, nullptr);
    EXPECT_EQ(w->oldpam2, nullptr);
    EXPECT_DOUBLE_EQ(w->playbalken, 100);  // stopping leaves the head
}

TEST_F(EngineWindowTest, PreviewToggleKeepsSoundingClipsWhenStarting) {
    auto clip = addClip(2, 250, 100);
    w->vam = w->oldvam2 = clip;
    w->_menupreview_Action();
    EXPECT_TRUE(w->vplay1);
    EXPECT_EQ(w->Previewbutton->Icon(), prevpauseb());
    EXPECT_EQ(w->menupreview()->Text(), "Stop Preview");
    EXPECT_EQ(w->vam, clip);
    EXPECT_DOUBLE_EQ(clip->ppreviewpos, 50);
    w->Previewbutton->push();
    EXPECT_FALSE(w->vplay1);
    EXPECT_EQ(w->Previewbutton->Icon(), prevplayb());
    EXPECT_EQ(w->menupreview()->Text(), "Preview");
    EXPECT_EQ(w->vam, nullptr);
    EXPECT_EQ(w->oldvam2, nullptr);
}

TEST_F(EngineWindowTest, HeadControlsFollowAndPark) {
    w->scrollwert = 60;
    w->playtime2->setText("0.00:01");
    w->playtime->setLeft(5);
    w->MovePlayerLineTo(200.5);
    EXPECT_EQ(w->playbutton->Left(), 193);
    EXPECT_EQ(w->playline->X1(), 200);
    EXPECT_EQ(w->playline->X2(), 200);
    EXPECT_EQ(w->playsepline->Left(), 200);
    EXPECT_EQ(w->playtime->Left(), 5);  // no text: stays where it was
    EXPECT_EQ(w->playtime2->Left(), 204);
    EXPECT_DOUBLE_EQ(w->splayline, 260.5);

    w->MovePlayerLineTo(-50);
    for (int left : {w->playbutton->Left(), w->playline->X1(), w->playsepline->Left(),
                     w->playtime->Left(), w->playtime2->Left()}) {
        EXPECT_EQ(left, -100);
    }
    EXPECT_DOUBLE_EQ(w->playbalken, -50);
    EXPECT_DOUBLE_EQ(w->splayline, 10);

    w->previewtime->setText("0.00:02");
    w->MovePreviewLineTo(w->Width() + 49);
    EXPECT_EQ(w->previewtime->Left(), w->Width() + 60);
    w->MovePreviewLineTo(w->Width() + 50);
    EXPECT_EQ(w->Previewbutton->Left(), -100);
    EXPECT_DOUBLE_EQ(w->spreviewline, w->Width() + 110);
}

TEST_F(EngineWindowTest, TickWritesParkedPlayLabelsNeverAndPreviewLabelsAlways) {
    w->playtime->setText("keep");
    w->previewtime->setText("old");
    w->MovePlayerLineTo(-80);
    w->MovePreviewLineTo(-80);
    w->pplay1 = w->vplay1 = true;
    w->PlayPrevTimer_Action();
    EXPECT_EQ(w->playtime->Text(), "keep");
    EXPECT_EQ(w->previewtime->Text(), "");
    // Gap steps: zoom / 35 and zoom / 10.
    EXPECT_DOUBLE_EQ(w->playbalken, -80 + 1 / 35.0);
    EXPECT_DOUBLE_EQ(w->previewbalken, -80 + 1 / 10.0);
}

// Stopped, the program does not wake every 10 ms: the tick's timer rests until a deck starts.
TEST_F(EngineWindowTest, TheTickRestsWhileNoDeckRuns) {
    for (bool preview : {false, true}) {
        const auto toggle = [&] { preview ? w->preview() : w->play(); };
        w->PlayPrevTimer_Action();
        EXPECT_TRUE(w->PlayPrevTimer->resting());
        toggle();
        EXPECT_FALSE(w->PlayPrevTimer->resting());
        w->PlayPrevTimer_Action();
        EXPECT_FALSE(w->PlayPrevTimer->resting());  // a running deck keeps it going
        toggle();
    }
    EXPECT_EQ(w->PlayPrevTimer->Mode(), 2);
    EXPECT_EQ(w->PlayPrevTimer->Period(), 10);
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
    w->PlayPrevTimer->setMode(0);  // the test runs the ticks itself
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    addClip(1, 400, 100);  // away from both heads: the decks take gap steps, no label changes
    w->Canvas1->aktualisiere();
    QApplication::processEvents();
    PaintCounter counter;
    for (QWidget* lane : {static_cast<QWidget*>(w->Canvas1), static_cast<QWidget*>(w->Canvas2)})
        lane->installEventFilter(&counter);
    w->MovePlayerLineTo(100);
    w->MovePreviewLineTo(300);
    w->pplay1 = w->vplay1 = true;
    // Gap steps of 1/35 and 1/10 pixel: nine ticks keep both heads on their pixels.
    for (int i = 0; i < 9; ++i) {
        w->PlayPrevTimer_Action();
        QApplication::processEvents();
    }
    EXPECT_TRUE(counter.paints.empty());
    EXPECT_EQ(whole(w->previewbalken), 300);
    w->PlayPrevTimer_Action();  // the preview head reaches 301
    QApplication::processEvents();
    w->pplay1 = w->vplay1 = false;
    EXPECT_EQ(whole(w->previewbalken), 301);
    EXPECT_GE(counter.paints[w->Canvas1], 1);
    EXPECT_LE(counter.widest, 2);
    // What the window shows after drawing one column at a time is what it shows drawn whole.
    const auto shown = [this] {
        const QPoint at = w->Canvas1->mapTo(w, QPoint(0, 0));
        return w->screen()->grabWindow(w->winId(), at.x(), at.y(), 800, 80).toImage();
    };
    const QImage columns = shown();
    ASSERT_FALSE(columns.isNull());
    w->content()->update();
    QApplication::processEvents();
    EXPECT_EQ(shown(), columns);
}

TEST_F(EngineWindowTest, RulerClickRestartsThePreviewThere) {
    auto clip = addClip(1, 200, 100);
    w->vplay1 = true;
    w->vam = w->oldvam = clip;
    w->balkenaktiv = 3;
    w->msg->setText("something");
    EXPECT_FALSE(w->MouseDown(230, 10));
    EXPECT_TRUE(w->vplay1);
    EXPECT_EQ(w->vam, nullptr);
    EXPECT_EQ(w->oldvam, nullptr);
    EXPECT_DOUBLE_EQ(w->previewbalken, 230);
    EXPECT_DOUBLE_EQ(clip->ppreviewpos, 30);
    EXPECT_EQ(w->menupreview()->Text(), "Stop Preview");
    EXPECT_EQ(w->balkenaktiv, -1);
    EXPECT_EQ(w->balkenaktivspur, 0);
    EXPECT_TRUE(w->msg->Text().isEmpty());
    EXPECT_EQ(w->pastex, (std::vector<double>{0, 0}));
    EXPECT_FALSE(w->EditPaste()->AutoEnable);
    EXPECT_EQ(w->Line4->LineColor(), grey);
}

// The volume bar grows upwards from y 178, 14 pixels at full volume.
TEST_F(EngineWindowTest, VolumeBarShowsTheSystemVolume) {
    const double before = media::systemVolume();
    const struct {
        double volume;
        int height, top;
    } cases[] = {{1.0, 14, 164}, {0.0, 0, 178}, {0.5, 7, 171}, {0.99, 13, 165}};
    for (const auto& c : cases) {
        media::setSystemVolume(c.volume);
        w->init();
        EXPECT_EQ(w->laut->Height(), c.height) << c.volume;
        EXPECT_EQ(w->laut->Top(), c.top) << c.volume;
    }
    media::setSystemVolume(before);
}

TEST_F(EngineWindowTest, LaneClickChoosesTheLaneAndMovesOnlyThePreviewHead) {
    w->aktivcanvas = 2;
    w->MouseDown(120, 60);
    EXPECT_EQ(w->Line4->LineColor(), orange);
    EXPECT_EQ(w->Line3->LineColor(), grey);
    EXPECT_EQ(w->pastex, (std::vector<double>{120, 1}));
    EXPECT_TRUE(w->EditPaste()->AutoEnable);
    EXPECT_EQ(w->aktivcanvas, 1);
    EXPECT_DOUBLE_EQ(w->previewbalken, 120);
    EXPECT_DOUBLE_EQ(w->playbalken, 100);
    EXPECT_FALSE(w->vplay1);

    w->MouseDown(140, 150);  // below everything: no lane, the active lane stays
    EXPECT_EQ(w->Line4->LineColor(), grey);
    EXPECT_EQ(w->pastex, (std::vector<double>{0, 0}));
    EXPECT_EQ(w->aktivcanvas, 1);
}

TEST_F(EngineWindowTest, StripUnderLaneOneOverlapsLaneTwo) {
    w->MouseDown(333, 90);
    EXPECT_DOUBLE_EQ(w->playbalken, 333);
    EXPECT_DOUBLE_EQ(w->previewbalken, 333);
    EXPECT_EQ(w->aktivcanvas, 2);
    EXPECT_EQ(w->Line3->LineColor(), orange);
}

TEST_F(EngineWindowTest, StripClickLeavesARunningPlayHead) {
    w->pplay1 = true;
    w->MouseDown(333, 125);
    EXPECT_DOUBLE_EQ(w->playbalken, 100);
    EXPECT_TRUE(w->pplay1);
}

TEST_F(EngineWindowTest, MissingFileOnThePreviewDeckAsksNothingAndRunsOn) {
    auto clip = addClip(1, 250, 100);  // its file does not exist
    openFiles.push_back("/would/be/chosen.mp3");
    ASSERT_TRUE(media::testing::waitForClipMovies());  // tried on the worker, not the tick
    w->preview();
    w->PlayPrevTimer_Action();
    EXPECT_TRUE(shownDialogs.empty());
    EXPECT_EQ(openFiles.size(), 1u);  // no file dialog either
    EXPECT_EQ(w->vam, nullptr);
    EXPECT_EQ(w->oldvam, clip);
    EXPECT_EQ(w->previewplayer1->Movie(), nullptr);
    EXPECT_DOUBLE_EQ(w->previewbalken, 300 + 1 / 10.0);  // no jump back to the clip's edge
    EXPECT_TRUE(w->vplay1);
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
        w->msg->setText("");
        w->Canvas1->AddPicture(nullptr, 250, 16, "clip", 100, c.path, 1, 0, 100, 0, 100, 0);
        ASSERT_TRUE(media::testing::waitForClipMovies());  // tried on the worker, not the tick
        w->playbalken = w->previewbalken = 300;
        (c.preview ? w->vplay1 : w->pplay1) = true;
        w->PlayPrevTimer_Action();
        w->pplay1 = w->vplay1 = false;
        EXPECT_EQ(w->msg->Text(), c.status);
    }
}

TEST_F(EngineWindowTest, RoutingWithoutAMovieDoesNothing) {
    openFiles.push_back("/would/be/chosen.mp3");
    w->SetMovieSoundOutputComponent(w->previewplayer1, 1234);
    w->SetMovieSoundOutputComponent(nullptr, 1234);
    EXPECT_EQ(openFiles.size(), 1u);
    EXPECT_EQ(w->GetMovieSoundOutputComponent(w->previewplayer1), 0);
}

}  // namespace
