#include <QApplication>
#include <QImage>
#include <QWindow>

#include "platform/application.h"
#include "platform/filetypes.h"
#include "shell/app.h"
#include "shell/menu.h"
#include "shell/pictures.h"
#include "support/app_fixture.h"

namespace {

using testsupport::AppFixture;

class WindowTest : public AppFixture {};

TEST_F(WindowTest, StartsAt800By180WithTheResetState) {
    EXPECT_EQ(w->viewWidth(), 800);
    EXPECT_EQ(w->centralWidget()->height(), 180);
    EXPECT_EQ(w->windowTitle(), "Vontalix");
    EXPECT_FLOAT_EQ(w->mix.pixelsPerSecond, 1.0f);
    EXPECT_EQ(w->zoomButton->caption(), " 100%");
    EXPECT_EQ(w->deckTimer.period(), 10);
    EXPECT_EQ(w->mix.selectedIndex, -1);
    EXPECT_EQ(w->mix.selectedLane, -1);
    EXPECT_DOUBLE_EQ(w->playDeck.headX, 100.0);
    EXPECT_DOUBLE_EQ(w->previewDeck.headX, 300.0);
    EXPECT_DOUBLE_EQ(w->playDeck.headTimelineX, 100.0);
    EXPECT_DOUBLE_EQ(w->previewDeck.headTimelineX, 300.0);
    EXPECT_EQ(w->mix.document.saved, 1);
    EXPECT_EQ(w->timelineScrollBar->value(), 0);
    EXPECT_FLOAT_EQ(w->mix.scrollX, 0.0f);
    ASSERT_EQ(w->mix.pasteTarget.size(), 2u);
    EXPECT_EQ(w->mix.pasteTarget[0], 0.0);
    EXPECT_EQ(w->mix.pasteTarget[1], 0.0);
    EXPECT_DOUBLE_EQ(w->mix.defaultTransition, 3.0);
    EXPECT_TRUE(w->mix.document.path.isEmpty());
    for (auto* t : {w->playDeck.labels[0], w->playDeck.labels[1], w->previewDeck.labels[0],
                    w->previewDeck.labels[1]}) {
        EXPECT_TRUE(t->text().isEmpty());
    }
    EXPECT_EQ(w->spaceLatch->text(), "Untitled");
    EXPECT_EQ(w->ruler.labels[0]->x(), 0);
    EXPECT_EQ(w->ruler.labels[3]->x(), 900);
}

TEST_F(WindowTest, ResetKeepsDecksClipboardAndSettings) {
    w->playDeck.running = true;
    w->previewDeck.running = true;
    w->previewDevice = 77;
    w->mix.defaultTransition = 4.5;
    w->activeLane = 2;
    auto clip = std::make_shared<Clip>();
    clip->lengthPx = 200;
    clip->outPoint = 200;
    clip->fadeOutStart = 150;
    w->mix.clipboardClip = clip;
    w->playDeck.current[0] = std::make_shared<Clip>();
    w->laneView1->addNewClip(nullptr, 10, 16, "a", 100, "/a.mp3", 1, 0, 100, 0, 100, 0);
    w->mix.pixelsPerSecond = 2.0f;
    w->init();
    EXPECT_TRUE(w->playDeck.running);
    EXPECT_TRUE(w->previewDeck.running);
    EXPECT_EQ(w->previewDevice, 77);
    EXPECT_EQ(w->mix.defaultTransition, 4.5);
    EXPECT_EQ(w->activeLane, 2);
    EXPECT_EQ(w->playDeck.current[0], nullptr);
    EXPECT_TRUE(w->laneView1->clips.empty());
    // The clipboard clip comes back to zoom 1 with the view.
    ASSERT_EQ(w->mix.clipboardClip, clip);
    EXPECT_DOUBLE_EQ(clip->lengthPx, 100);
    EXPECT_DOUBLE_EQ(clip->fadeOutStart, 75);
    ASSERT_TRUE(clip->image);
    EXPECT_EQ(clip->image->Width(), 100);
}

TEST_F(WindowTest, ResizingFollowsTheWidth) {
    struct Case {
        int width, pageStep, scrollWidth, folderTarget, zoomButton, findPlayHeadButton,
            findPreviewHeadButton, volumeMeter;
    };
    const Case cases[] = {
        {640, 10, 520, 608, 586, 530, 552, 576},
        {800, 13, 680, 768, 746, 690, 712, 736},
        {1280, 21, 1160, 1248, 1226, 1170, 1192, 1216},
    };
    for (const Case& c : cases) {
        w->userResize(c.width);
        EXPECT_EQ(w->viewWidth(), c.width);
        EXPECT_EQ(w->centralWidget()->height(), 180);
        EXPECT_EQ(w->laneView1->width(), c.width);
        EXPECT_EQ(w->laneView2->width(), c.width);
        EXPECT_EQ(w->lane2Border->width(), c.width + 1);  // a line covers both of its end columns
        EXPECT_EQ(w->ruler.line->width(), c.width);
        EXPECT_EQ(w->timelineScrollBar->pageStep(), c.pageStep);
        EXPECT_EQ(w->timelineScrollBar->width(), c.scrollWidth);
        EXPECT_EQ(w->folderTarget->x(), c.folderTarget);
        EXPECT_EQ(w->zoomButton->x(), c.zoomButton);
        EXPECT_EQ(w->findPlayHeadButton->x(), c.findPlayHeadButton);
        EXPECT_EQ(w->findPreviewHeadButton->x(), c.findPreviewHeadButton);
        EXPECT_EQ(w->volumeMeter->x(), c.volumeMeter);
        EXPECT_EQ(w->statusLine->x(), 7);
    }
}

TEST_F(WindowTest, WidthStaysBetween640And1280AndHeightAt180) {
    w->show();
    w->setContentSize(2000, 400);
    QApplication::processEvents();
    EXPECT_EQ(w->viewWidth(), 1280);
    EXPECT_EQ(w->centralWidget()->height(), 180);
    w->setContentSize(300, 50);
    QApplication::processEvents();
    EXPECT_EQ(w->viewWidth(), 640);
    EXPECT_EQ(w->centralWidget()->height(), 180);
}

// The window manager sees the top-level window, menu bar included: its hints must hold the
// limits, and a resize of the whole window must stop at them.
TEST_F(WindowTest, TheTopLevelWindowHoldsTheLimitsAndOffersNoMaximize) {
    w->show();
    QApplication::processEvents();
    QWindow* top = w->windowHandle();
    ASSERT_TRUE(top);
    const int menuH = w->height() - w->centralWidget()->height();
    ASSERT_GT(menuH, 0);
    EXPECT_EQ(top->minimumSize(), QSize(640, 180 + menuH));
    EXPECT_EQ(top->maximumSize(), QSize(1280, 180 + menuH));
    EXPECT_FALSE(top->flags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(top->flags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(top->flags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_TRUE(top->flags().testFlag(Qt::WindowTitleHint));

    const struct {
        QSize asked;
        int width;
    } cases[] = {{{2000, 900}, 1280}, {{300, 20}, 640}, {{1000, 180}, 1000}, {{700, 0}, 700}};
    for (const auto& c : cases) {
        w->resize(c.asked);
        QApplication::processEvents();
        EXPECT_EQ(w->size(), QSize(c.width, 180 + menuH)) << c.asked.width();
        EXPECT_EQ(w->viewWidth(), c.width) << c.asked.width();
        EXPECT_EQ(w->centralWidget()->height(), 180) << c.asked.width();
    }
}

TEST_F(WindowTest, StatusLineTakesOnlyCodeOne) {
    w->statusLine->setText("before");
    w->comment(0, "ignored");
    EXPECT_EQ(w->statusLine->text(), "before");
    w->comment(1, "ignored");
    EXPECT_EQ(w->statusLine->text(), "do not drop one track onto another");
}

TEST_F(WindowTest, ScreenshotShowsHeadsAndRuler) {
    w->show();
    QApplication::processEvents();
    QImage shot = w->centralWidget()->grab().toImage();
    if (qEnvironmentVariableIsSet("VONTALIX_SHOT"))
        shot.save(qEnvironmentVariable("VONTALIX_SHOT"));
    ASSERT_EQ(shot.width(), 800);
    // After the reset the play head line stands at x 100 and the orange preview head at 300,
    // both drawn across the lanes.
    EXPECT_EQ(shot.pixelColor(100, 60).name(), "#000000");
    EXPECT_EQ(shot.pixelColor(300, 60).name(), "#ffa200");
    EXPECT_EQ(shot.pixelColor(300, 100).name(), "#ffa200");
    EXPECT_EQ(w->ruler.labels[1]->text(), "0.05:00");
    // The ruler's base line runs along y 35.
    EXPECT_EQ(shot.pixelColor(500, 35).name(), "#808080");
    EXPECT_EQ(shot.pixelColor(60, 32).name(), "#808080");  // a tick
}

// ---- Menus -----------------------------------------------------------------------------------

TEST(MenuBar, ItemsTextsShortcutsAndFlags) {
    testsupport::ensureApp();
    struct Row {
        const char *parent, *name, *text, *shortcut;
        bool autoEnable;
    };
    const Row rows[] = {
        {"fileMenu", "quitItem", "Quit", "Cmd+Q", true},
        {"fileMenu", "newItem", "New Window", "Cmd+N", true},
        {"fileMenu", "fileSeparator1", "-", "", true},
        {"fileMenu", "openItem", "Open Playlist", "Cmd+O", true},
        {"fileMenu", "openFolderItem", "Open Folder", "", true},
        {"fileMenu", "fileSeparator2", "-", "", true},
        {"fileMenu", "saveItem", "Save Playlist", "Cmd+S", true},
        {"fileMenu", "saveAsItem", "Save Playlist as", "", true},
        {"editMenu", "undoItem", "Undo", "Cmd+Z", false},
        {"editMenu", "editSeparator", "-", "", false},
        {"editMenu", "cutItem", "Cut", "Cmd+X", false},
        {"editMenu", "copyItem", "Copy", "Cmd+C", false},
        {"editMenu", "pasteItem", "Paste", "Cmd+V", false},
        {"editMenu", "clearItem", "Clear", "", false},
        {"editMenu", "preferencesItem", "Preferences", "", false},
        {"extrasMenu", "playItem", "Play", "Cmd+P", true},
        {"extrasMenu", "previewItem", "Preview", "", true},
        {"extrasMenu", "dropPreviewItem", "Drop Preview", "Cmd+D", true},
        {"extrasMenu", "aboutItem", "About Vontalix", "", true},
    };
    Menu* bar = Menu::instance();
    EXPECT_EQ(bar, Menu::instance());
    ASSERT_EQ(bar->Count(), 3);
    EXPECT_EQ(bar->Item(0)->Text(), "File");
    EXPECT_EQ(bar->Item(1)->Text(), "Edit");
    EXPECT_EQ(bar->Item(2)->Text(), "Extras");
    std::map<QString, int> position;
    for (const Row& r : rows) {
        platform::MenuItem* parent = bar->Child(r.parent);
        ASSERT_NE(parent, nullptr);
        platform::MenuItem* item = bar->_Lookup(r.name);
        ASSERT_NE(item, nullptr) << r.name;
        EXPECT_EQ(item->parent(), parent) << r.name;
        EXPECT_EQ(item->Text(), r.text) << r.name;
        EXPECT_EQ(item->KeyboardShortcut(), r.shortcut) << r.name;
        EXPECT_EQ(item->AutoEnable, r.autoEnable) << r.name;
        EXPECT_EQ(parent->Item(position[r.parent]++), item) << r.name;  // order
    }
    EXPECT_EQ(bar->_Lookup("menuSeparator5"), nullptr);
    EXPECT_EQ(bar->_Lookup("quitItem")->kind(), platform::MenuKind::Quit);
    EXPECT_EQ(bar->_Lookup("playItem")->keySequence(), QKeySequence("Ctrl+P"));
}

TEST_F(WindowTest, EnabledItemsAtStart) {
    App::instance()->enablePass();
    const char* enabled[] = {"quitItem",        "newItem",    "openItem",       "openFolderItem",
                             "saveItem",        "saveAsItem", "playItem",       "previewItem",
                             "dropPreviewItem", "aboutItem",  "preferencesItem"};
    const char* disabled[] = {"undoItem", "cutItem", "copyItem", "pasteItem", "clearItem"};
    for (const char* n : enabled) EXPECT_TRUE(w->MenuBar()->_Lookup(n)->Enabled()) << n;
    for (const char* n : disabled) EXPECT_FALSE(w->MenuBar()->_Lookup(n)->Enabled()) << n;
    // Copy becomes available once its flag is set.
    w->copyItem()->AutoEnable = true;
    App::instance()->enablePass();
    EXPECT_TRUE(w->copyItem()->Enabled());
    w->copyItem()->AutoEnable = false;
}

TEST_F(WindowTest, HandlersFallThroughFromWindowToApplication) {
    int windowCalls = 0, appCalls = 0;
    w->_AddMenuHandler("aboutItem", [&] {
        ++windowCalls;
        return false;
    });
    App::instance()->_AddMenuHandler("aboutItem", [&] {
        ++appCalls;
        return false;
    });
    App::instance()->dispatch(*w->aboutItem());
    EXPECT_EQ(windowCalls, 1);
    EXPECT_EQ(appCalls, 1);
    // A window handler that consumes the command stops it there.
    w->_AddMenuHandler("aboutItem", [&] {
        ++windowCalls;
        return true;
    });
    App::instance()->dispatch(*w->aboutItem());
    EXPECT_EQ(windowCalls, 2);
    EXPECT_EQ(appCalls, 1);
    _ApplicationAddMenuHandlers();  // restore the real handlers
}

TEST_F(WindowTest, MenuCommandsReachTheirHandlers) {
    // Names are matched to items without regard to case: "copyItem" serves copyItem.
    for (const char* n : {"playItem", "previewItem", "saveItem", "saveAsItem", "clearItem",
                          "copyItem", "pasteItem", "cutItem", "openFolderItem", "aboutItem"}) {
        EXPECT_TRUE(w->hasMenuHandler(n)) << n;
    }
    for (const char* n :
         {"newItem", "openItem", "preferencesItem", "aboutItem", "dropPreviewItem"}) {
        EXPECT_TRUE(App::instance()->hasMenuHandler(n)) << n;
    }
    EXPECT_TRUE(w->hasMenuHandler("libraryItem"));
    EXPECT_EQ(w->MenuBar()->_Lookup("libraryItem"), nullptr);
    // Save Playlist as forgets the path before saving.
    w->mix.document.path = "/tmp/x.txt";
    App::instance()->dispatch(*w->saveAsItem());
    EXPECT_TRUE(w->mix.document.path.isEmpty());
}

// ---- File types and pictures -----------------------------------------------------------------

TEST(FileTypes, MatchByExtensionIgnoringCase) {
    testsupport::ensureApp();
    auto& reg = platform::FileTypeRegistry::instance();
    struct Case {
        const char *path, *type;
        bool match;
    };
    const Case cases[] = {
        {"/m/song.mp3", "audio/mp3", true},       {"/m/SONG.MP3", "audio/mpeg", true},
        {"/m/a.M4A", "audio/aac", true},          {"/m/a.m4a", "audio/x-aac", true},
        {"/m/clip.mov", "video/quicktime", true}, {"/m/clip.mpg", "video/x-mpeg", true},
        {"/m/list.txt", "text/plain", true},      {"/m/list.TEXT", "text/plain", true},
        {"/m/list", "text/plain", false},         {"/m/list.", "text/plain", false},
        {"/m/a.wav", "audio/mp3", false},         {"/m/.mp3", "audio/mp3", false},
        {"/m/a.mp3", "audio/unknown", false},     {"/tmp", "special/folder", true},
        {"/m/a.mp3", "special/folder", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(reg.matches(c.path, c.type), c.match) << c.path << " " << c.type;
    ASSERT_NE(reg.find("video/quicktime"), nullptr);
    EXPECT_EQ(reg.find("video/quicktime")->Extensions, ".moov;.mov;.qt;.mov;.qt;.mqv");
    EXPECT_EQ(reg.find("audio/mp3")->MacType, "Mp3 ");
    EXPECT_EQ(reg.all().size(), 12u);
}

TEST(Pictures, LoadedOnceAndKept) {
    int loads = 0;
    pictures::resetCache();
    pictures::setLoader([&](int id) {
        ++loads;
        return id == 175 ? nullptr : pictures::loadResource(id);
    });
    auto first = laneBackdropPicture();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->Width(), 1280);
    EXPECT_EQ(first->Height(), 33);
    EXPECT_EQ(laneBackdropPicture(), first);
    EXPECT_EQ(loads, 1);
    // A missing picture is looked up again on the next call.
    EXPECT_EQ(laneHighlightPicture(), nullptr);
    EXPECT_EQ(laneHighlightPicture(), nullptr);
    EXPECT_EQ(loads, 3);
    for (auto pic :
         {playButtonPicture(), pauseButtonPicture(), previewButtonPicture(),
          previewPauseButtonPicture(), findPlayHeadPicture(), findPreviewHeadPicture()}) {
        ASSERT_TRUE(pic);
        EXPECT_LE(pic->Width(), 16);
    }
    pictures::setLoader(nullptr);
    pictures::resetCache();
}

}  // namespace
