#include <QApplication>
#include <QImage>
#include <QMenuBar>
#include <QWindow>

#include "platform/filetypes.h"
#include "shell/pictures.h"
#include "support/app_fixture.h"

namespace {

using testsupport::AppFixture;

class WindowTest : public AppFixture {};

// What a new document shows: the title, zoom 100 %, the heads at 100 and 300, the ruler at 0.
TEST_F(WindowTest, StartsAt800By180WithTheResetState) {
    EXPECT_EQ(w->centralWidget()->width(), 800);
    EXPECT_EQ(w->centralWidget()->height(), 180);
    EXPECT_EQ(w->windowTitle(), "Vontalix");
    EXPECT_EQ(control<platform::FlatButton>("zoomButton")->caption(), " 100%");
    EXPECT_EQ(playDeckView()->line()->x1(), 100);
    EXPECT_EQ(previewDeckView()->line()->x1(), 300);
    EXPECT_TRUE(mix().document().saved);
    EXPECT_EQ(control<platform::StaticText>("rulerLabel3")->x(), 900);
}

TEST_F(WindowTest, ResetKeepsDecksClipboardAndSettings) {
    playDeck().setRunning(true);
    previewDeck().setRunning(true);
    decks().setPreviewDeviceId(77);
    mix().setDefaultTransition(4.5);
    auto clip = std::make_shared<model::Clip>();
    clip->lengthPx = 200;
    clip->outPoint = 200;
    clip->fadeOutStart = 150;
    mix().setClipboardClip(clip);
    playDeck().current[0] = std::make_shared<model::Clip>();
    lane(1)->addNewClip(10, {.name = "a", .path = "/a.mp3", .lengthPx = 100, .lane = 1});
    mix().setZoom(2.0f);
    documents().resetDocument();
    EXPECT_TRUE(playDeck().running());
    EXPECT_TRUE(previewDeck().running());
    EXPECT_EQ(decks().previewDeviceId(), 77);
    EXPECT_EQ(mix().defaultTransition(), 4.5);
    EXPECT_EQ(playDeck().current[0], nullptr);
    EXPECT_TRUE(lane(1)->clips.empty());
    // The clipboard clip comes back to zoom 1 with the view.
    const model::ClipRef& kept = mix().clipboardClip();
    ASSERT_TRUE(kept);
    EXPECT_DOUBLE_EQ(kept->lengthPx, 100);
    EXPECT_DOUBLE_EQ(kept->fadeOutStart, 75);
    ASSERT_TRUE(kept->image);
    EXPECT_EQ(kept->image->width(), 100);
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
        platform::setContentSize(*w, c.width, 180);
        testsupport::partOf<TimelineControls>(*w).fitToWidth();
        EXPECT_EQ(w->centralWidget()->width(), c.width);
        EXPECT_EQ(w->centralWidget()->height(), 180);
        EXPECT_EQ(lane(1)->width(), c.width);
        EXPECT_EQ(lane(2)->width(), c.width);
        EXPECT_EQ(control<platform::Line>("lane2Border")->width(),
                  c.width + 1);  // a line covers both of its end columns
        EXPECT_EQ(control<platform::Separator>("rulerLine")->width(), c.width);
        EXPECT_EQ(control<QScrollBar>("timelineScrollBar")->pageStep(), c.pageStep);
        EXPECT_EQ(control<QScrollBar>("timelineScrollBar")->width(), c.scrollWidth);
        EXPECT_EQ(control<FolderTarget>("folderTarget")->x(), c.folderTarget);
        EXPECT_EQ(control<platform::FlatButton>("zoomButton")->x(), c.zoomButton);
        EXPECT_EQ(control<platform::FlatButton>("findPlayHeadButton")->x(), c.findPlayHeadButton);
        EXPECT_EQ(control<platform::FlatButton>("findPreviewHeadButton")->x(),
                  c.findPreviewHeadButton);
        EXPECT_EQ(control<platform::BorderedRectangle>("volumeMeter")->x(), c.volumeMeter);
        EXPECT_EQ(statusLine()->x(), 7);
    }
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
        EXPECT_EQ(w->centralWidget()->width(), c.width) << c.asked.width();
        EXPECT_EQ(w->centralWidget()->height(), 180) << c.asked.width();
    }
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
    EXPECT_EQ(control<platform::StaticText>("rulerLabel1")->text(), "0.05:00");
    // The ruler's base line runs along y 35.
    EXPECT_EQ(shot.pixelColor(500, 35).name(), "#808080");
    EXPECT_EQ(shot.pixelColor(60, 32).name(), "#808080");  // a tick
}

// ---- Menus -----------------------------------------------------------------------------------

TEST_F(WindowTest, MenusShowTheirItemsInOrderWithShortcutsAndEnabledStates) {
    const MainMenu& m = *menu();
    struct Row {
        QAction* action;  // nullptr: a separator
        const char *text, *shortcut;
        bool enabled;  // in the open menu, at start
    };
    const struct {
        QMenu* menu;
        const char* title;
        std::vector<Row> rows;
    } menus[] = {
        {m.fileMenu,
         "File",
         {{m.quitAction, "Quit", "Ctrl+Q", true},
          {m.newAction, "New Window", "Ctrl+N", true},
          {nullptr, "", "", false},
          {m.openAction, "Open Playlist", "Ctrl+O", true},
          {m.openFolderAction, "Open Folder", "", true},
          {nullptr, "", "", false},
          {m.saveAction, "Save Playlist", "Ctrl+S", true},
          {m.saveAsAction, "Save Playlist as", "", true}}},
        {m.editMenu,
         "Edit",
         {{m.undoAction, "Undo", "Ctrl+Z", false},
          {nullptr, "", "", false},
          {m.cutAction, "Cut", "Ctrl+X", false},
          {m.copyAction, "Copy", "Ctrl+C", false},
          {m.pasteAction, "Paste", "Ctrl+V", false},
          {m.clearAction, "Clear", "", false},
          {m.preferencesAction, "Preferences", "", true}}},
        {m.extrasMenu,
         "Extras",
         {{m.playAction, "Play", "Ctrl+P", true},
          {m.previewAction, "Preview", "", true},
          {m.dropPreviewAction, "Drop Preview", "Ctrl+D", true},
          {m.aboutAction, "About Vontalix", "", true}}},
    };
    QMenuBar* bar = w->menuBar();
    EXPECT_FALSE(bar->isNativeMenuBar());
    ASSERT_EQ(bar->actions().size(), 3);
    for (int i = 0; i < 3; ++i) {
        const auto& menu = menus[i];
        EXPECT_EQ(bar->actions()[i], menu.menu->menuAction());
        EXPECT_EQ(menu.menu->title(), menu.title);
        const QList<QAction*> items = menu.menu->actions();
        ASSERT_EQ(items.size(), static_cast<qsizetype>(menu.rows.size())) << menu.title;
        emit menu.menu->aboutToShow();
        for (size_t j = 0; j < menu.rows.size(); ++j) {
            const Row& row = menu.rows[j];
            QAction* item = items[j];
            if (!row.action) {
                EXPECT_TRUE(item->isSeparator()) << menu.title << j;
                continue;
            }
            EXPECT_EQ(item, row.action) << row.text;
            EXPECT_EQ(item->text(), row.text);
            EXPECT_EQ(item->shortcut(), QKeySequence(row.shortcut)) << row.text;
            EXPECT_EQ(item->shortcutContext(), Qt::WindowShortcut) << row.text;
            EXPECT_EQ(item->menuRole(), QAction::NoRole) << row.text;
            EXPECT_EQ(item->isEnabled(), row.enabled) << row.text;
        }
        // Closed, every item takes its shortcut, so a dimmed one's key reaches no key command.
        emit menu.menu->aboutToHide();
        for (QAction* item : items) EXPECT_TRUE(item->isEnabled()) << item->text().toStdString();
    }
}

TEST_F(WindowTest, EditItemsWorkWhileTheMenuOffersThem) {
    MainMenu& m = *menu();
    const auto laneWithClip = [&] {
        lane(1)->addNewClip(10, {.name = "a", .path = "/a.mp3", .lengthPx = 100, .lane = 1});
        mix().select(1, 0);
        lane(1)->draggedClip = lane(1)->clips[0];
    };
    const struct {
        bool clipSelected, pasteAllowed;
    } cases[] = {{false, false}, {true, false}, {false, true}, {true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.clipSelected << c.pasteAllowed);
        documents().resetDocument();
        laneWithClip();
        m.clipSelected = c.clipSelected;
        m.pasteAllowed = c.pasteAllowed;
        emit m.editMenu->aboutToShow();
        EXPECT_FALSE(m.undoAction->isEnabled());
        for (QAction* a : {m.cutAction, m.copyAction, m.clearAction})
            EXPECT_EQ(a->isEnabled(), c.clipSelected) << a->text().toStdString();
        EXPECT_EQ(m.pasteAction->isEnabled(), c.pasteAllowed);
        emit m.editMenu->aboutToHide();
        // Chosen by its shortcut, an item the menu would show dimmed does nothing.
        m.copyAction->trigger();
        EXPECT_EQ(mix().clipboardClip() != nullptr, c.clipSelected);
        EXPECT_EQ(m.pasteAllowed, c.pasteAllowed || c.clipSelected);  // a copy offers Paste
        m.pasteAllowed = c.pasteAllowed;
        m.clearAction->trigger();
        EXPECT_EQ(lane(1)->clips.empty(), c.clipSelected);
        mix().setPasteTarget(model::PasteTarget{400, 2});
        m.pasteAction->trigger();
        EXPECT_EQ(lane(2)->clips.size(), c.clipSelected && c.pasteAllowed ? 1u : 0u);
        mix().setClipboardClip(nullptr);
    }
}

TEST_F(WindowTest, MenuCommandsReachTheMainWindow) {
    // Quit closes the window through its close guard: a cancelled save prompt keeps it open.
    w->show();
    lane(1)->addNewClip(10, {.name = "a", .path = "/a.mp3", .lengthPx = 100, .lane = 1});
    mix().markChanged();
    answers = {platform::DialogAnswer::Cancel, platform::DialogAnswer::Alternate};
    menu()->quitAction->trigger();
    EXPECT_TRUE(w->isVisible());
    ASSERT_EQ(shownDialogs.size(), 1u);
    EXPECT_EQ(shownDialogs[0].message, "Save Playlist?");
    menu()->quitAction->trigger();  // "Don't save"
    EXPECT_FALSE(w->isVisible());
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
    EXPECT_EQ(reg.find("video/quicktime")->extensions, ".moov;.mov;.qt;.mov;.qt;.mqv");
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
    EXPECT_EQ(first->width(), 1280);
    EXPECT_EQ(first->height(), 33);
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
        EXPECT_LE(pic->width(), 16);
    }
    pictures::setLoader(nullptr);
    pictures::resetCache();
}

}  // namespace
