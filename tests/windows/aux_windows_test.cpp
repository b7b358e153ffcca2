// The auxiliary windows in a running program: preferences, about, drop preview, library list.
#include "windows/aux_windows.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QSettings>
#include <QSlider>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QUrl>
#include <cmath>
#include <memory>

#include "engine/routing.h"
#include "media/media.h"
#include "model/lane_logic.h"
#include "platform/desktop.h"
#include "platform/dragdrop.h"
#include "support/app_fixture.h"
#include "support/media_gen.h"
#include "support/null_output.h"
#include "support/temp_files.h"
#include "windows/window_logic.h"

namespace {

using namespace testsupport;
namespace mt = media::testing;

constexpr int kBlock = 480;  // 10 ms at 48 kHz
const QByteArray kMain = "main", kPreview = "preview";

class AuxWindowsTest : public AppFixture {
  protected:
    void SetUp() override {
        AppFixture::SetUp();
        mt::useNullOutput({kMain, kPreview});
        mt::clearCaptured();
    }
    void TearDown() override {
        if (DropPreviewWindow* p = DropPreviewWindow::existing()) p->player.stop();
        platform::dragHook() = nullptr;
        platform::showUrlHook() = nullptr;
        AppFixture::TearDown();
        mt::useRealOutput();
    }

    // The open window of each kind, or a new one, as its command shows it.
    PreferencesWindow* preferences() {
        menu()->preferencesAction->trigger();
        return PreferencesWindow::existing();
    }
    DropPreviewWindow* dropPreview() {
        menu()->dropPreviewAction->trigger();
        return DropPreviewWindow::existing();
    }
    LibraryWindow* libraryList() {
        LibraryWindow::instance(w)->showInFront();
        return LibraryWindow::existing();
    }

    // A drag entering the list and dropped on it, a move proposed (Shift); whether the list took
    // the drop (false when it refused the drag).
    static bool dragAndDrop(windows::ListBox* list, const QMimeData& data) {
        QDragEnterEvent enter(QPoint(20, 8), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                              Qt::ShiftModifier);
        QApplication::sendEvent(list, &enter);
        if (!acceptedAsCopy(enter)) return false;
        QDropEvent drop(QPointF(20, 8), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                        Qt::ShiftModifier);
        QApplication::sendEvent(list, &drop);
        return acceptedAsCopy(drop);
    }
    static std::unique_ptr<QMimeData> library(const QString& url) {
        auto data = std::make_unique<QMimeData>();
        data->setData(platform::kLibraryMimeType,
                      "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>Tracks</key>"
                      "<dict><key>7</key><dict><key>Location</key><string>" +
                          url.toUtf8() + "</string></dict></dict></dict></plist>");
        return data;
    }
    // The text a drag of the row carries.
    static QString rowDragText(windows::ListBox* list, int row) {
        QString carried = "(no drag)";
        platform::dragHook() = [&](QWidget*, QMimeData* data, const QPixmap&, QPoint) {
            carried = data->text();
        };
        list->dragRow(row);
        platform::dragHook() = nullptr;
        return carried;
    }
    // The program started anew: a new main window, which reads the kept preferences.
    void restart() {
        testsupport::discardWindow(w);
        QApplication::processEvents();
        w = MainWindow::instance();
        QApplication::processEvents();  // what is said once the window shows
    }
    static QString url(const QString& path) {
        return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
    }
};

// ---- Preferences -------------------------------------------------------------------------------

TEST_F(AuxWindowsTest, PreferencesListTheDevicesAndChoosingOneSetsThePreviewDevice) {
    PreferencesWindow* p = preferences();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->windowTitle(), "Preferences");
    EXPECT_TRUE(p->windowFlags().testFlag(Qt::Tool));
    EXPECT_EQ(p->parentWidget(), w);
    windows::ListBox* list = p->deviceList;
    ASSERT_EQ(list->rowCount(), 2);
    EXPECT_EQ(list->selectedRow(), -1);
    const QByteArray ids[] = {kMain, kPreview};
    for (int r = 0; r < 2; ++r) {
        EXPECT_EQ(list->cell(r, 0), QString::fromLatin1(ids[r]));
        EXPECT_EQ(list->cell(r, 1), QString::fromLatin1(ids[r]));
    }
    // Only the name column shows, and the list takes no keys until the user picks it.
    EXPECT_EQ(list->table()->columnCount(), 1);
    EXPECT_EQ(p->focusWidget(), p);

    list->selectRow(1);
    EXPECT_EQ(decks().previewDeviceId(), media::deviceIdFor(kPreview));
    list->selectRow(-1);  // clearing the selection keeps the choice
    EXPECT_EQ(decks().previewDeviceId(), media::deviceIdFor(kPreview));

    // With the floating window in front, the menus still serve the main window: a second
    // command shows the same window; a new one after closing shows no selection.
    QApplication::setActiveWindow(p);
    ASSERT_EQ(QApplication::activeWindow(), p);
    menu()->preferencesAction->trigger();
    EXPECT_EQ(PreferencesWindow::existing(), p);
    p->close();
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(PreferencesWindow::existing(), nullptr);
    PreferencesWindow* again = preferences();
    EXPECT_NE(again->deviceList->rowCount(), 0);
    EXPECT_EQ(again->deviceList->selectedRow(), 1);  // the device in use is highlighted
    EXPECT_EQ(decks().previewDeviceId(), media::deviceIdFor(kPreview));
}

TEST_F(AuxWindowsTest, PreferencesWithoutAnyDeviceListNothing) {
    mt::useNullOutput({});
    PreferencesWindow* p = preferences();
    EXPECT_EQ(p->deviceList->rowCount(), 0);
    EXPECT_EQ(decks().previewDeviceId(), 0);
}

TEST_F(AuxWindowsTest, ArrowsStepTheTransitionWithinItsBoundsAndShowIt) {
    PreferencesWindow* p = preferences();
    EXPECT_EQ(p->transitionLabel->text(), "3");
    struct Step {
        bool up;
        int times;
        double value;
        const char* shown;
    };
    const Step steps[] = {{true, 1, 3.5, "3.5"},  {true, 13, 10, "10"}, {true, 1, 10, "10"},
                          {false, 1, 9.5, "9.5"}, {false, 19, 0, "0"},  {false, 1, 0, "0"},
                          {true, 1, 0.5, "0.5"}};
    for (const Step& s : steps) {
        for (int i = 0; i < s.times; ++i)
            s.up ? emit p->transitionArrows->steppedUp() : emit p->transitionArrows->steppedDown();
        EXPECT_EQ(mix().defaultTransition(), s.value);
        EXPECT_EQ(p->transitionLabel->text(), s.shown);
        EXPECT_EQ(p->transitionLabel->shownText(), s.shown) << "drawn whole, not cut short";
    }
    // A click on each half of the arrows is one step that way.
    QTest::mouseClick(p->transitionArrows, Qt::LeftButton, Qt::NoModifier, QPoint(6, 3));
    EXPECT_EQ(mix().defaultTransition(), 1);
    QTest::mouseClick(p->transitionArrows, Qt::LeftButton, Qt::NoModifier, QPoint(6, 20));
    EXPECT_EQ(mix().defaultTransition(), 0.5);
    // A new window shows the main window's value.
    p->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(preferences()->transitionLabel->text(), "0.5");
}

// After a restart the headphone cue must still reach the headphones, not the audience.
TEST_F(AuxWindowsTest, PreferencesAreKeptForTheNextRunAndEscapeClosesThem) {
    PreferencesWindow* p = preferences();
    ASSERT_NE(p, nullptr);
    p->deviceList->selectRow(1);
    emit p->transitionArrows->steppedUp();
    emit p->transitionArrows->steppedDown();
    emit p->transitionArrows->steppedDown();
    QTest::keyClick(p->deviceList->table(), Qt::Key_Escape);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(PreferencesWindow::existing(), nullptr);

    restart();
    EXPECT_EQ(decks().previewDeviceId(), media::deviceIdFor(kPreview));
    EXPECT_EQ(mix().defaultTransition(), 2.5);
    EXPECT_EQ(statusText(), "");
    PreferencesWindow* again = preferences();
    EXPECT_EQ(again->deviceList->selectedRow(), 1);
    EXPECT_EQ(again->transitionLabel->text(), "2.5");
}

// Preferences the store cannot take still hold for this run, and the DJ learns that they will not
// be kept, and why (a file standing where the folder belongs stops root too).
TEST_F(AuxWindowsTest, PreferencesThatCannotBeWrittenAreSaidNotToBeKept) {
    const QString usual =
        QFileInfo(QFileInfo(windows::preferencesStore()->fileName()).absolutePath()).absolutePath();
    const auto settingsAt = [](const QString& base) {
        for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat})
            QSettings::setPath(format, QSettings::UserScope, base);
    };
    QTemporaryDir base;
    const QString folder = base.filePath("Vontalix");
    ASSERT_TRUE(writeFile(folder, "not a folder"));
    settingsAt(base.path());
    statusLine()->setText(QString());
    emit preferences()->transitionArrows->steppedUp();
    settingsAt(usual);
    EXPECT_EQ(mix().defaultTransition(), 3.5);
    EXPECT_EQ(statusText(), "Preferences will not be kept: " + folder + " is not a folder.");
    emit preferences()->transitionArrows->steppedDown();
}

// A kept device unplugged meanwhile: the preview stays on it, silent, and the DJ is told.
TEST_F(AuxWindowsTest, AKeptPreviewDeviceThatIsMissingAtStartIsNamed) {
    ASSERT_EQ(windows::keepPreviewDevice(media::deviceIdFor(kPreview), "Headphones"), "");
    mt::useNullOutput({kMain});
    restart();
    EXPECT_EQ(decks().previewDeviceId(), media::deviceIdFor(kPreview));
    EXPECT_FALSE(media::routeAvailable(decks().previewDeviceId()));
    EXPECT_EQ(statusText(),
              "The preview sound device \"Headphones\" is not available: the preview stays "
              "silent until it is back.");
    EXPECT_EQ(preferences()->deviceList->selectedRow(), -1);
}

// ---- About -------------------------------------------------------------------------------------

TEST_F(AuxWindowsTest, AboutShowsTheTextAndEachClickOpensTheAddressOnce) {
    QStringList opened;
    platform::showUrlHook() = [&](const QString& a) { opened << a; };
    menu()->aboutAction->trigger();
    AboutWindow* a = AboutWindow::existing();
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->windowTitle(), "About Vontalix");
    EXPECT_TRUE(a->windowFlags().testFlag(Qt::Tool));
    const QString address = AboutWindow::address();
    EXPECT_EQ(a->versionText->text(), windows::aboutText(address));
    EXPECT_TRUE(QFileInfo(QUrl(address).toLocalFile()).isFile()) << address.toStdString();

    QTest::mouseClick(a->versionText, Qt::LeftButton, Qt::NoModifier, QPoint(30, 30));
    EXPECT_EQ(opened, QStringList{address});
    QTest::mouseClick(a->versionText, Qt::LeftButton, Qt::NoModifier, QPoint(100, 90));
    EXPECT_EQ(opened.size(), 2);
    // The strip left of the text is not the text.
    QTest::mouseClick(a, Qt::LeftButton, Qt::NoModifier, QPoint(5, 50));
    EXPECT_EQ(opened.size(), 2);
    menu()->aboutAction->trigger();
    EXPECT_EQ(AboutWindow::existing(), a);
}

// ---- Drop preview ------------------------------------------------------------------------------

TEST_F(AuxWindowsTest, DropPreviewStartsWaitingAndTakesOnlyMediaDrops) {
    menu()->dropPreviewAction->trigger();
    DropPreviewWindow* d = DropPreviewWindow::existing();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->windowTitle(), "Drop for Preview");
    EXPECT_TRUE(d->windowFlags().testFlag(Qt::Tool));
    EXPECT_TRUE(d->playerBar->isVisibleTo(d));
    ASSERT_EQ(d->dropList->rowCount(), 1);
    EXPECT_EQ(d->dropList->cell(0, 0), "Drop files from iTunes or Finder here.");
    EXPECT_EQ(rowDragText(d->dropList, 0), "Drop for Preview");

    struct Case {
        const char* file;
        bool taken;
    };
    // Names the program registers, and those the shared MIME database knows.
    const Case cases[] = {{"a.mp3", true},  {"a.M4A", true},  {"a.mov", true}, {"a.mpg", true},
                          {"a.wav", true},  {"a.aiff", true}, {"a.aif", true}, {"a.mp4", true},
                          {"a.txt", false}, {"a.png", false}, {"a", false}};
    for (const Case& c : cases) {
        EXPECT_EQ(d->dropList->accepts(files({"/m/" + QString(c.file)}).get()), c.taken) << c.file;
    }
    auto text = std::make_unique<QMimeData>();
    text->setText("file:///m/a.mp3");
    auto image = std::make_unique<QMimeData>();
    image->setImageData(QImage(4, 4, QImage::Format_RGB32));
    for (const QMimeData* foreign : {text.get(), image.get()}) {
        EXPECT_FALSE(dragAndDrop(d->dropList, *foreign));
        platform::DragItem item(foreign, QPoint());
        d->preview(item);  // even if it got there, nothing happens
    }
    EXPECT_EQ(d->dropList->cell(0, 0), "Drop files from iTunes or Finder here.");
    EXPECT_EQ(d->windowTitle(), "Drop for Preview");
    EXPECT_EQ(d->player.movie(), nullptr);
}

TEST_F(AuxWindowsTest, EachKindOfDropPreviewsItsFileAndAFailureOnlySaysSo) {
    const QString sine = makeMedia({MediaKind::Mp3Cbr, 2.0, Signal::Sine});
    const QString chirp = makeMedia({MediaKind::Mp3Cbr, 2.0, Signal::Chirp});
    const QString broken = tempDir() + "/broken.mp3";
    ASSERT_TRUE(writeFile(broken, QByteArray(5000, 'x')));
    lane(2)->addNewClip(
        100,
        {.name = "clip", .path = chirp, .lengthPx = 2, .inPoint = 0.5, .outPoint = 1.5, .lane = 2});
    const model::ClipRef clip = lane(2)->clips.back();
    DropPreviewWindow* d = dropPreview();
    const auto laneClip = [&] {
        return std::unique_ptr<QMimeData>(
            platform::makeClipMimeData(model::encodeClipDrag(clip.get(), 2), 0));
    };
    struct Case {
        const char* what;
        std::function<std::unique_ptr<QMimeData>()> data;
        QString cell, previewed;  // previewed "" = title and player as before
    };
    const QString name = QFileInfo(sine).fileName(), chirpName = QFileInfo(chirp).fileName();
    const Case cases[] = {
        {"a file", [&] { return files({sine}); }, name, sine},
        {"a file that does not open", [&] { return files({broken}); }, "error opening file.", ""},
        {"a file that is gone", [&] { return files({tempDir() + "/gone.mp3"}); },
         "error opening file.", ""},
        {"a library track", [&] { return library(url(chirp)); }, chirpName, chirp},
        {"several files: the first",
         [&] {
             return files({sine, chirp});
         },
         name, sine},
        {"a lane's clip, whole file", laneClip, chirpName, chirp},
        {"a library track and a file: the file",
         [&] {
             auto data = library(url(sine));
             data->setUrls({QUrl::fromLocalFile(broken)});
             return data;
         },
         "error opening file.", ""},
    };
    QString title = "Drop for Preview";
    media::MovieRef movie;
    for (const Case& c : cases) {
        const auto data = c.data();
        EXPECT_EQ(dragAndDrop(d->dropList, *data), !c.previewed.isEmpty()) << c.what;
        EXPECT_EQ(d->dropList->cell(0, 0), c.cell) << c.what;
        EXPECT_EQ(d->dropList->rowCount(), 1) << c.what;
        if (!c.previewed.isEmpty()) {
            title = url(c.previewed);
            movie = d->player.movie();
            ASSERT_NE(movie, nullptr) << c.what;
            EXPECT_EQ(movie->path(), c.previewed) << c.what;
            EXPECT_GT(d->player.rate(), 0) << c.what;
            EXPECT_EQ(d->player.position(), 0) << c.what;
        }
        EXPECT_EQ(d->windowTitle(), title) << c.what;
        EXPECT_EQ(d->player.movie(), movie) << c.what;
        EXPECT_EQ(rowDragText(d->dropList, 0), title) << c.what;
        EXPECT_TRUE(shownDialogs.empty()) << c.what;
    }
    // A clip drag whose clip left the lane names nothing.
    const auto stale = laneClip();
    emptyLane(2);
    d->player.setMovie(nullptr);
    EXPECT_FALSE(dragAndDrop(d->dropList, *stale));
    EXPECT_EQ(d->player.movie(), nullptr);
    EXPECT_EQ(d->windowTitle(), title);
}

TEST_F(AuxWindowsTest, ASecondDropReplacesTheFirstOnThePreviewDeviceOnly) {
    const QString sine = makeMedia({MediaKind::Mp3Cbr, 2.0, Signal::Sine});
    const QString chirp = makeMedia({MediaKind::Mp3Cbr, 2.0, Signal::Chirp});
    const std::vector<float> refChirp = decodeAll(chirp);
    decks().setPreviewDeviceId(media::deviceIdFor(kPreview));
    DropPreviewWindow* d = dropPreview();
    ASSERT_TRUE(dragAndDrop(d->dropList, *files({sine})));
    mt::advance(30 * kBlock);
    const size_t switchedAt = mt::captured(media::deviceIdFor(kPreview)).size() / 2;
    ASSERT_EQ(switchedAt, size_t(30 * kBlock));
    ASSERT_TRUE(dragAndDrop(d->dropList, *files({chirp})));
    mt::advance(50 * kBlock);

    const std::vector<float> preview = mt::captured(media::deviceIdFor(kPreview));
    ASSERT_EQ(preview.size(), size_t(80 * kBlock * 2));
    // Before the switch the sine sounded.
    double before = 0;
    for (size_t i = 0; i < switchedAt * 2; ++i)
        before = std::max(before, double(std::fabs(preview[i])));
    EXPECT_GT(before, 0.3);
    // After the first block (where the sine fades out) only the chirp sounds, from its start.
    double diff = 0;
    for (size_t i = kBlock * 2; i < 50 * kBlock * 2; ++i)
        diff = std::max(diff, double(std::fabs(preview[switchedAt * 2 + i] - refChirp[i])));
    EXPECT_LE(diff, 1e-6);
    // Nothing reached the main device, nor went nowhere.
    for (int32_t device : {media::deviceIdFor(kMain), mt::kNowhere}) {
        for (float v : mt::captured(device)) ASSERT_EQ(v, 0.0f) << device;
    }
    EXPECT_EQ(engine::playerOutput(d->player), media::deviceIdFor(kPreview));
}

TEST_F(AuxWindowsTest, ADeviceThatIsGoneKeepsThePreviewSilentAndSaysSo) {
    const QString sine = makeMedia({MediaKind::Mp3Cbr, 2.0, Signal::Sine});
    decks().setPreviewDeviceId(media::deviceIdFor("unplugged"));
    DropPreviewWindow* d = dropPreview();
    ASSERT_TRUE(dragAndDrop(d->dropList, *files({sine})));
    mt::advance(20 * kBlock);
    QApplication::processEvents();
    EXPECT_EQ(statusText(), "The preview sound device is not available: the preview is silent.");
    for (const QByteArray& device : {kMain, kPreview}) {
        for (float v : mt::captured(media::deviceIdFor(device))) ASSERT_EQ(v, 0.0f);
    }
    // The player runs on, so the bar and a later device choice behave as usual.
    EXPECT_GT(d->player.rate(), 0);
}

TEST_F(AuxWindowsTest, ControlBarPausesPlaysAndSeeks) {
    const QString sine = makeMedia({MediaKind::Mp3Cbr, 2.0, Signal::Sine});
    DropPreviewWindow* d = dropPreview();
    windows::PlayerBar* bar = d->playerBar;
    const media::MoviePlayer& player = d->player;
    EXPECT_FALSE(bar->playButton()->isEnabled());
    ASSERT_TRUE(dragAndDrop(d->dropList, *files({sine})));
    EXPECT_TRUE(bar->playButton()->isEnabled());
    EXPECT_EQ(bar->timeLabel()->text(), "0.00:00 / 0.00:02");
    mt::advance(50 * kBlock);
    QTest::mouseClick(bar->playButton(), Qt::LeftButton);
    EXPECT_EQ(player.rate(), 0);
    EXPECT_NEAR(player.position(), 0.5, 0.02);
    bar->seekTo(1.5);
    QTest::mouseClick(bar->playButton(), Qt::LeftButton);
    EXPECT_GT(player.rate(), 0);
    EXPECT_EQ(player.position(), 1.5);
    EXPECT_EQ(bar->slider()->value(), 15);
    mt::advance(60 * kBlock);  // plays out
    EXPECT_EQ(player.rate(), 0);
    QTest::mouseClick(bar->playButton(), Qt::LeftButton);  // plays again from the start
    EXPECT_GT(player.rate(), 0);
    EXPECT_EQ(player.position(), 0);
}

// ---- Library list ------------------------------------------------------------------------------

TEST_F(AuxWindowsTest, LibraryListShowsEverySlotWithTheCountAndDragsTheLocation) {
    const auto kept = windows::librarySongs;
    windows::librarySongs = {
        std::make_shared<windows::LibrarySong>(
            windows::LibrarySong{"One", "Band", "file:///m/one.mp3", "First", "Band - One"}),
        nullptr,
        std::make_shared<windows::LibrarySong>(windows::LibrarySong{"Two", "", "", "", ""}),
    };
    LibraryWindow* lib = libraryList();
    ASSERT_NE(lib, nullptr);
    windows::librarySongs = kept;
    EXPECT_EQ(lib->windowTitle(), "iTunes Library");
    EXPECT_FALSE(lib->windowFlags().testFlag(Qt::Tool));
    EXPECT_EQ(lib->minimumSize(), lib->maximumSize());
    windows::ListBox* list = lib->songList;
    ASSERT_EQ(list->rowCount(), 3);
    const QStringList rows[] = {{"One", "Band", "First", "Band - One", "file:///m/one.mp3"},
                                {"", "", "", "", ""},
                                {"Two", "", "", "", ""}};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 5; ++c) EXPECT_EQ(list->cell(r, c), rows[r][c]) << r << " " << c;
    }
    for (int c = 0; c < 5; ++c) EXPECT_EQ(list->heading(c), windows::libraryHeadings()[c]);
    EXPECT_EQ(lib->statusText->text(), "iTunes Library (3 songs ");
    EXPECT_EQ(rowDragText(list, 0), "file:///m/one.mp3");
    EXPECT_EQ(rowDragText(list, 1), "");
    EXPECT_EQ(rowDragText(list, 2), "");
}

TEST_F(AuxWindowsTest, LibraryListAsStartUpLeavesIt) {
    LibraryWindow* lib = libraryList();
    ASSERT_EQ(lib->songList->rowCount(), 1);
    EXPECT_EQ(lib->songList->cell(0, 0), "");
    EXPECT_EQ(lib->statusText->text(), "iTunes Library (1 songs ");
}

}  // namespace
