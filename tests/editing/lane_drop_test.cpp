// Drops on the lanes, sent as the desktop sends them: a drag entering the lane, then the drop.
#include <sys/stat.h>

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>
#include <functional>
#include <limits>
#include <map>
#include <memory>

#include "model/drop_logic.h"
#include "model/file_label.h"
#include "model/lane_logic.h"
#include "platform/dragdrop.h"
#include "platform/keyboard.h"
#include "platform/media_measure.h"
#include "shell/pictures.h"
#include "support/app_fixture.h"
#include "support/media_gen.h"
#include "support/temp_files.h"

namespace {

namespace Keyboard = platform::Keyboard;
using testsupport::AppFixture;

constexpr char kOverlap[] = "do not drop one track onto another";

// An ID3v1 block with a title and an artist.
QByteArray id3v1(const QByteArray& title, const QByteArray& artist) {
    QByteArray tag =
        "TAG" + title.leftJustified(30, '\0', true) + artist.leftJustified(30, '\0', true);
    return tag.leftJustified(128, '\0');
}

class LaneDropTest : public AppFixture {
  protected:
    void SetUp() override {
        AppFixture::SetUp();
        ASSERT_TRUE(dir.isValid());
        platform::setMovieMeasure([this](const QString& path) -> std::optional<double> {
            measured << path;
            const auto it = lengths.find(QFileInfo(path).fileName());
            if (it == lengths.end()) return 100.0;
            if (it->second < 0) return std::nullopt;  // does not open as a movie
            return it->second;
        });
        model::setFileLabelSource([](const QString&) { return std::optional<QByteArray>(); });
    }
    void TearDown() override {
        platform::setMovieMeasure({});
        model::setFileLabelSource({});
        AppFixture::TearDown();
    }

    QString file(const QString& name, const QByteArray& bytes = QByteArray(1000, 'x')) {
        const QString path = dir.path() + "/" + name;
        EXPECT_TRUE(testsupport::writeFile(path, bytes));
        return path;
    }

    static std::unique_ptr<QMimeData> text(const QString& t) {
        auto data = std::make_unique<QMimeData>();
        data->setText(t);
        return data;
    }
    static std::unique_ptr<QMimeData> library(const QByteArray& plist) {
        auto data = std::make_unique<QMimeData>();
        data->setData(platform::kLibraryMimeType, plist);
        return data;
    }
    static QByteArray plistWithTrack(const QString& url) {
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict>"
               "<key>Tracks</key><dict><key>1</key><dict><key>Name</key><string>x</string></dict>"
               "<key>2</key><dict><key>Location</key><string>" +
               url.toUtf8() + "</string></dict></dict></dict></plist>";
    }

    // A drag entering the lane and dropped at x, a move proposed (Shift); false when the lane did
    // not take the drag. The drop is taken exactly when it lays a clip.
    static bool dragAndDrop(LaneView* lane, const QMimeData& data, int x) {
        QDragEnterEvent enter(QPoint(x, 16), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                              Qt::ShiftModifier);
        QApplication::sendEvent(lane, &enter);
        if (!acceptedAsCopy(enter)) return false;
        const size_t before = lane->clips.size();
        QDropEvent drop(QPointF(x, 16), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                        Qt::ShiftModifier);
        QApplication::sendEvent(lane, &drop);
        EXPECT_EQ(acceptedAsCopy(drop), lane->clips.size() > before);
        return true;
    }

    model::ClipRef addClip(LaneView* lane, double left, double length, const QString& name) {
        lane->addNewClip(left, {.image = documents::clipPictureOrSay(name, length, 10, length - 10,
                                                                     5, length - 5, 2),
                                .name = name,
                                .path = "/m/" + name + ".mp3",
                                .lengthPx = length,
                                .inPoint = 5,
                                .outPoint = length - 5,
                                .fadeInEnd = 10,
                                .fadeOutStart = length - 10,
                                .label = 2,
                                .lane = lane->lane()});
        return lane->clips.back();
    }

    // A Shift press on the clip at pressX starts the program's own drag; during runs while the
    // drag is under way, as the desktop's drag loop would run the drop.
    void shiftDrag(LaneView* from, int pressX, const std::function<void(QMimeData&)>& during) {
        platform::dragHook() = [&](QWidget*, QMimeData* data, const QPixmap&, QPoint) {
            during(*data);
        };
        Keyboard::setModifiersForTesting(Qt::ShiftModifier);
        from->pressAt(pressX, 16);
        platform::dragHook() = nullptr;
        Keyboard::setModifiersForTesting(std::nullopt);
    }

    void select(int index, int lane) { mix().select(lane, index); }
    bool selectionCleared() const { return mix().selection() == std::nullopt; }

    QTemporaryDir dir;
    std::map<QString, double> lengths;  // by file name; negative: not a movie
    QStringList measured;
};

TEST_F(LaneDropTest, FileDropMakesAClipNamedFromItsTagAtTheDropPlace) {
    model::setFileLabelSource([](const QString&) { return std::optional<QByteArray>("5"); });
    const QString path = file("song.mp3", QByteArray(4000, 'x') + id3v1("Route 66", "Band"));
    lengths["song.mp3"] = 120.7;
    mix().setZoom(2);
    mix().setScrollX(60);
    select(0, 1);
    auto data = files({path});
    ASSERT_TRUE(dragAndDrop(lane(1), *data, 100));

    ASSERT_EQ(lane(1)->clips.size(), 1u);
    EXPECT_TRUE(lane(2)->clips.empty());
    const model::Clip& c = *lane(1)->clips[0];
    EXPECT_EQ(c.name, "Band: Route 66");
    EXPECT_EQ(c.path, path);
    EXPECT_DOUBLE_EQ(c.lengthPx, 241);   // 120.7 s at 2 pixels a second, whole pixels
    EXPECT_DOUBLE_EQ(onLane(c), 220.5);  // left edge exactly at the drop place
    EXPECT_DOUBLE_EQ(c.centre, 280.5);
    EXPECT_EQ(c.lane, 1);
    EXPECT_EQ(c.label, 5);
    EXPECT_DOUBLE_EQ(c.inPoint, 0);
    EXPECT_DOUBLE_EQ(c.fadeInEnd, 0);
    EXPECT_DOUBLE_EQ(c.fadeOutStart, 241);
    EXPECT_DOUBLE_EQ(c.outPoint, 241);
    ASSERT_TRUE(c.image);
    EXPECT_EQ(c.image->width(), 241);
    EXPECT_TRUE(selectionCleared());
    EXPECT_FALSE(laneServices().dropPending());
    EXPECT_EQ(lane(1)->backdrop(), laneBackdropPicture());
}

TEST_F(LaneDropTest, MediaLongerThanADayIsRefusedAndWhatIsTakenReadsBack) {
    const struct {
        const char* file;
        double seconds;
        float zoom;
        bool taken;
    } cases[] = {
        {"day.mp3", 86400, 4, true},  // the longest clip, at the widest zoom
        {"day-and-a-bit.mp3", 86400.5, 1, false},
        {"forged.mp3", 1e8, 0.25f, false},  // a header claiming three years
        {"endless.mp3", std::numeric_limits<double>::infinity(), 1, false},
        {"minute.mp3", 60.5, 0.25f, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        documents().resetDocument();
        mix().setZoom(c.zoom);
        lengths[c.file] = c.seconds;
        ASSERT_TRUE(dragAndDrop(lane(1), *files({file(c.file)}), 50));
        ASSERT_EQ(lane(1)->clips.size(), c.taken ? 1u : 0u);
        if (!c.taken) {
            EXPECT_EQ(statusText(),
                      QString(c.file) + " is longer than 24 hours: it cannot be a clip.");
            continue;
        }
        // What a drop takes, a save writes and an open reads back as the same clip.
        const double seconds = lane(1)->clips[0]->lengthPx / c.zoom;
        const QString list = dir.path() + "/dropped.txt";
        QFile::remove(list);
        saveFiles = {list};
        ASSERT_EQ(documents().save(), 1);
        answers = {platform::DialogAnswer::Alternate};
        documents().open(list);
        ASSERT_EQ(lane(1)->clips.size(), 1u);
        EXPECT_DOUBLE_EQ(lane(1)->clips[0]->lengthPx, seconds);
        EXPECT_EQ(mix().document().keptRecords.count(), 0);
    }
}

TEST_F(LaneDropTest, UntaggedFileIsNamedFromItsFileName) {
    auto data = files({file("plain.mp3"), file("second.mp3")});
    ASSERT_TRUE(dragAndDrop(lane(2), *data, 10));
    ASSERT_EQ(lane(2)->clips.size(), 1u);  // the first file only, and the DJ is told
    EXPECT_EQ(statusText(), "Only the first of the 2 dropped files was taken: \"plain.mp3\".");
    EXPECT_EQ(lane(2)->clips[0]->name, "plain.mp3");
    EXPECT_EQ(lane(2)->clips[0]->lane, 2);
    EXPECT_TRUE(lane(1)->clips.empty());
}

TEST_F(LaneDropTest, OverlapIsRefusedWithTheStatusMessage) {
    // A clip spanning 100..220 on lane 1; each drop brings a 60-pixel file.
    lengths["new.mp3"] = 60;
    const struct {
        int left;
        bool taken;
    } cases[] = {
        {220, true},   // touches its right edge
        {40, true},    // touches its left edge
        {219, false},  // left edge inside
        {41, false},   // right edge inside
        {130, false},  // wholly inside
        {70, false},   // centre inside, both edges outside
    };
    const QString path = file("new.mp3");
    for (const auto& c : cases) {
        emptyLane(1);
        addClip(lane(1), 100, 120, "old");
        statusLine()->setText("");
        select(0, 1);
        auto data = files({path});
        ASSERT_TRUE(dragAndDrop(lane(1), *data, c.left));
        EXPECT_EQ(lane(1)->clips.size(), c.taken ? 2u : 1u) << c.left;
        EXPECT_EQ(statusText(), c.taken ? QString() : QString(kOverlap)) << c.left;
        EXPECT_TRUE(selectionCleared()) << c.left;  // the lanes are refreshed in both cases
    }
    // A clip lying wholly between two of the probed points is not found.
    emptyLane(2);
    addClip(lane(2), 15, 20, "between");  // 15..35, probes at 10, 40 and 70
    lengths["new.mp3"] = 60;
    auto data = files({path});
    ASSERT_TRUE(dragAndDrop(lane(2), *data, 10));
    EXPECT_EQ(lane(2)->clips.size(), 2u);
}

TEST_F(LaneDropTest, SecondFileDroppedOverTheFirstIsRefused) {
    auto first = files({file("one.mp3")});
    auto second = files({file("two.mp3")});
    ASSERT_TRUE(dragAndDrop(lane(1), *first, 0));
    ASSERT_TRUE(dragAndDrop(lane(1), *second, 50));
    ASSERT_EQ(lane(1)->clips.size(), 1u);
    EXPECT_EQ(lane(1)->clips[0]->name, "one.mp3");
    EXPECT_EQ(statusText(), kOverlap);
}

TEST_F(LaneDropTest, OneDropPerDragThatEnteredALane) {
    auto data = files({file("a.mp3")});
    LaneView* lane = this->lane(1);
    // A drop without a drag having entered a lane only restores the backdrop.
    lane->setBackdrop(laneHighlightPicture());
    platform::DragItem item(data.get(), QPoint(10, 16));
    laneServices().droppedOnLane(*lane, item);
    EXPECT_TRUE(lane->clips.empty());
    EXPECT_EQ(lane->backdrop(), laneBackdropPicture());
    // Enter once, drop twice at free places: one clip.
    laneServices().dragEnteredLane(*lane);
    laneServices().droppedOnLane(*lane, item);
    platform::DragItem later(data.get(), QPoint(500, 16));
    laneServices().droppedOnLane(*lane, later);
    EXPECT_EQ(lane->clips.size(), 1u);
}

// The lane's file types sort file drags only; a file named by text is opened as a movie
// whatever its name, as long as it is a regular file.
TEST_F(LaneDropTest, FileTypesSortFileDragsAndTextOpensAnyFile) {
    const QString folder = dir.path() + "/folder.mp3";
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString fifo = dir.path() + "/pipe.wav";
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    lengths["notes.txt"] = -1;  // not a movie after all
    const struct {
        const char* name;
        bool fileDrag, textDrop;  // taken as a file drag, as a path in text
    } cases[] = {
        {"a.mp3", true, true},  {"a.m4a", true, true},  {"a.aac", true, true},
        {"a.mov", true, true},  {"a.mpg", true, true},  {"a.mp2", true, true},
        {"a.wav", false, true}, {"a.mp4", false, true}, {"a", false, true},
    };
    for (const auto& c : cases) {
        const QString path = file(c.name);
        const QString url = QUrl::fromLocalFile(path).toString();
        auto fileManager = files({path});
        fileManager->setText(url);  // its files come as text as well
        const struct {
            const char* how;
            std::unique_ptr<QMimeData> data;
            bool taken;
        } drops[] = {
            {"file", files({path}), c.fileDrag},
            {"file manager", std::move(fileManager), c.fileDrag},
            {"path", text(path), c.textDrop},
            {"url", text(url), c.textDrop},
        };
        for (const auto& d : drops) {
            SCOPED_TRACE(std::string(c.name) + " as " + d.how);
            emptyLane(1);
            statusLine()->setText("");
            ASSERT_TRUE(dragAndDrop(lane(1), *d.data, 10));
            EXPECT_EQ(lane(1)->clips.size(), d.taken ? 1u : 0u);
            EXPECT_EQ(statusText(),
                      d.taken ? QString() : QString("Error opening %1 as movie.").arg(c.name));
        }
    }
    EXPECT_EQ(measured.filter(".mp4").size(), 2);  // a refused file drag is never opened

    // Text naming what is no regular file, or no movie, still gives no clip.
    const struct {
        QString text, message;
    } refused[] = {
        {folder, "error opening: " + folder},
        {fifo, "error opening: " + fifo},
        {file("notes.txt"), "Error opening notes.txt as movie."},
    };
    for (const auto& r : refused) {
        emptyLane(1);
        auto data = text(r.text);
        ASSERT_TRUE(dragAndDrop(lane(1), *data, 10));
        EXPECT_TRUE(lane(1)->clips.empty()) << r.text.toStdString();
        EXPECT_EQ(statusText(), r.message);
    }
    EXPECT_FALSE(measured.contains(fifo));
}

TEST_F(LaneDropTest, TextNamesAFileByUrlOrPath) {
    const QString path = file("a b.mp3");
    const QString url = QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
    const QString texts[] = {
        url,
        "  " + url + "  \nfile:///elsewhere/x.mp3",
        path,
        "\t" + path + "\r\n",
    };
    for (const QString& t : texts) {
        emptyLane(1);
        auto data = text(t);
        ASSERT_TRUE(dragAndDrop(lane(1), *data, 30)) << t.toStdString();
        ASSERT_EQ(lane(1)->clips.size(), 1u) << t.toStdString();
        EXPECT_EQ(lane(1)->clips[0]->path, path);
        EXPECT_EQ(lane(1)->clips[0]->name, "a b.mp3");
    }
}

TEST_F(LaneDropTest, TextThatNamesNoFileFallsBackToTheDragsFileOrLibraryTrack) {
    const QString fromFile = file("fromfile.mp3");
    const QString fromLibrary = file("fromlibrary.mp3");
    {
        auto data = files({fromFile});
        data->setText("Some Song - Some Artist");
        ASSERT_TRUE(dragAndDrop(lane(1), *data, 0));
    }
    {
        auto data = library(plistWithTrack(QUrl::fromLocalFile(fromLibrary).toString()));
        data->setText("/no/such/file.mp3");
        ASSERT_TRUE(dragAndDrop(lane(2), *data, 0));
    }
    ASSERT_EQ(lane(1)->clips.size(), 1u);
    EXPECT_EQ(lane(1)->clips[0]->path, fromFile);
    ASSERT_EQ(lane(2)->clips.size(), 1u);
    EXPECT_EQ(lane(2)->clips[0]->path, fromLibrary);
}

TEST_F(LaneDropTest, LibraryTrackBecomesAClip) {
    const QString path = file("track.m4a", QByteArray(500, 'x') + id3v1("Title", ""));
    auto data = library(plistWithTrack(QUrl::fromLocalFile(path).toString()));
    ASSERT_TRUE(dragAndDrop(lane(2), *data, 5));
    ASSERT_EQ(lane(2)->clips.size(), 1u);
    EXPECT_EQ(lane(2)->clips[0]->path, path);
    EXPECT_EQ(lane(2)->clips[0]->name, "Title");
}

TEST_F(LaneDropTest, FailuresAreReportedAndChangeNothing) {
    const QString fifo = dir.path() + "/pipe.mp3";
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    lengths["broken.mp3"] = -1;
    lengths["short.mp3"] = 0.9;
    const QString missing = QUrl::fromLocalFile(dir.path() + "/gone.mp3").toString();
    const struct {
        std::function<std::unique_ptr<QMimeData>()> data;
        QString message;
    } cases[] = {
        {[&] { return text("hello world\nsecond line"); }, "error opening: hello world"},
        {[&] { return text(missing); }, "error opening: " + missing},
        {[&] { return text("x" + QString(300, 'y')); },
         "error opening: x" + QString(76, 'y') + "..."},
        {[&] { return library("<plist><array/></plist>"); }, "error opening file."},
        {[&] { return library(plistWithTrack("http://example.org/a.mp3")); },
         "error opening file."},
        {[&] { return files({file("broken.mp3")}); }, "Error opening broken.mp3 as movie."},
        {[&] { return files({dir.path() + "/gone.mp3"}); }, "Error opening gone.mp3 as movie."},
        {[&] { return files({file("short.mp3")}); },
         "short.mp3 is too short for a clip at this zoom."},
        {[&] { return library(plistWithTrack(QUrl::fromLocalFile(fifo).toString())); },
         "Error opening pipe.mp3 as movie."},
    };
    addClip(lane(1), 600, 50, "kept");
    for (const auto& c : cases) {
        select(0, 1);
        auto data = c.data();
        ASSERT_TRUE(dragAndDrop(lane(1), *data, 10)) << c.message.toStdString();
        EXPECT_EQ(statusText(), c.message);
        EXPECT_EQ(lane(1)->clips.size(), 1u) << c.message.toStdString();
        // A failure ends the handling before the lanes are refreshed.
        EXPECT_EQ(mix().selection(), (model::ClipSelection{1, 0})) << c.message.toStdString();
    }
    EXPECT_FALSE(measured.contains(fifo));  // never opened: it would block
    // At four pixels a second the short file is wide enough.
    mix().setZoom(4);
    auto data = files({file("short.mp3")});
    ASSERT_TRUE(dragAndDrop(lane(1), *data, 10));
    ASSERT_EQ(lane(1)->clips.size(), 2u);
    EXPECT_DOUBLE_EQ(lane(1)->clips[1]->lengthPx, 3);
}

// A path with a line break would make every save of the mix fail: such a file is refused by
// name, however it is dropped, and never opened.
TEST_F(LaneDropTest, PathsAPlaylistCannotHoldAreRefused) {
    ASSERT_TRUE(QDir(dir.path()).mkpath("two\nlines"));
    const QString inName = file("a\nb.mp3"), inFolder = file("two\nlines/c.mp3");
    const QString lineBreak =
        "\" was not taken: a playlist cannot hold a file path with a line break.";
    const struct {
        std::unique_ptr<QMimeData> data;
        QString message;
    } cases[] = {
        {files({inName}), "\"a\u21b5b.mp3" + lineBreak},
        {text(QUrl::fromLocalFile(inName).toString(QUrl::FullyEncoded)),
         "\"a\u21b5b.mp3" + lineBreak},
        {files({inFolder}), "\"c.mp3" + lineBreak},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(dragAndDrop(lane(1), *c.data, 10));
        EXPECT_EQ(statusText(), c.message);
        EXPECT_TRUE(lane(1)->clips.empty());
    }
    EXPECT_TRUE(measured.isEmpty());
}

TEST_F(LaneDropTest, ShiftDraggedClipMovesToTheOtherLane) {
    addClip(lane(1), 0, 30, "before");
    auto clip = addClip(lane(1), 100, 120.6, "moving");  // centre 160.3, spans 100..220.6
    clip->fadeInEnd = 10.6;
    clip->playStart = 12;
    clip->previewStart = 7;
    // Picked first: its handles show, and must go with the selection.
    ASSERT_TRUE(lane(1)->pressAt(160, 16));
    lane(1)->releaseAt(160, 16);
    ASSERT_GT(control<ClipHandle>("inPointHandle")->x(), 0);
    shiftDrag(lane(1), 160, [&](QMimeData& data) {
        // Grabbed 60 pixels right of the clip's left edge.
        EXPECT_TRUE(dragAndDrop(lane(2), data, 460));
    });
    ASSERT_EQ(lane(1)->clips.size(), 1u);
    EXPECT_EQ(lane(1)->clips[0]->name, "before");
    ASSERT_EQ(lane(2)->clips.size(), 1u);
    const model::Clip& moved = *lane(2)->clips[0];
    EXPECT_EQ(moved.name, "moving");
    EXPECT_EQ(moved.path, "/m/moving.mp3");
    EXPECT_EQ(moved.lane, 2);
    EXPECT_DOUBLE_EQ(moved.lengthPx, 120);  // rounded to whole pixels
    EXPECT_EQ(onLane(moved), 460);          // left edge 460 - 60, where the picture was grabbed
    EXPECT_DOUBLE_EQ(moved.fadeInEnd, 10);
    EXPECT_DOUBLE_EQ(moved.fadeOutStart, 110);
    EXPECT_DOUBLE_EQ(moved.inPoint, 5);
    EXPECT_DOUBLE_EQ(moved.outPoint, 115);
    EXPECT_EQ(moved.label, 2);
    EXPECT_DOUBLE_EQ(moved.playStart, 0);
    EXPECT_DOUBLE_EQ(moved.previewStart, 0);
    EXPECT_TRUE(selectionCleared());
    EXPECT_EQ(control<ClipHandle>("inPointHandle")->x(), -16);  // no selection, no handles
    EXPECT_FALSE(menu()->clipSelected);
}

TEST_F(LaneDropTest, AClipDroppedPastTheTimelinesStartLiesAtTheStart) {
    addClip(lane(2), 100, 120, "early");
    shiftDrag(lane(2), 160, [&](QMimeData& data) {  // grabbed 60 right of its left edge
        EXPECT_TRUE(dragAndDrop(lane(1), data, 20));
    });
    ASSERT_EQ(lane(1)->clips.size(), 1u);
    EXPECT_DOUBLE_EQ(lane(1)->clips[0]->centre, 60);  // left edge 0, not -40
}

TEST_F(LaneDropTest, OptionAtTheDropCopiesTheClip) {
    auto clip = addClip(lane(2), 100, 120, "copied");
    shiftDrag(lane(2), 160, [&](QMimeData& data) {
        Keyboard::setModifiersForTesting(Qt::ShiftModifier | Qt::AltModifier);
        EXPECT_TRUE(dragAndDrop(lane(1), data, 60));
    });
    ASSERT_EQ(lane(2)->clips.size(), 1u);
    EXPECT_EQ(lane(2)->clips[0], clip);
    ASSERT_EQ(lane(1)->clips.size(), 1u);
    EXPECT_NE(lane(1)->clips[0], clip);
    EXPECT_EQ(lane(1)->clips[0]->name, "copied");
    EXPECT_EQ(lane(1)->clips[0]->lane, 1);
    EXPECT_EQ(onLane(*lane(1)->clips[0]), 60);
}

TEST_F(LaneDropTest, ClipDroppedOnItsOwnLaneOrOverAnotherStaysWhereItWas) {
    auto clip = addClip(lane(1), 100, 120, "stays");
    auto blocker = addClip(lane(2), 380, 50, "blocker");
    shiftDrag(lane(1), 160, [&](QMimeData& data) { EXPECT_TRUE(dragAndDrop(lane(1), data, 460)); });
    ASSERT_EQ(lane(1)->clips.size(), 1u);
    EXPECT_EQ(onLane(*lane(1)->clips[0]), 160);
    EXPECT_EQ(lane(2)->clips.size(), 1u);
    EXPECT_TRUE(selectionCleared());

    shiftDrag(lane(1), 160, [&](QMimeData& data) {
        EXPECT_TRUE(dragAndDrop(lane(2), data, 460));  // 400..520 over 380..430
    });
    EXPECT_EQ(statusText(), kOverlap);
    EXPECT_EQ(lane(1)->clips.size(), 1u);
    EXPECT_EQ(lane(1)->clips[0], clip);
    ASSERT_EQ(lane(2)->clips.size(), 1u);
    EXPECT_EQ(lane(2)->clips[0], blocker);
}

TEST_F(LaneDropTest, TheDraggedClipIsRemovedByIdentityNotByItsOldIndex) {
    auto a = addClip(lane(1), 0, 40, "a");
    auto dragged = addClip(lane(1), 100, 120, "dragged");
    auto c = addClip(lane(1), 300, 40, "c");
    shiftDrag(lane(1), 160, [&](QMimeData& data) {
        // While the drag is under way the lane loses its first clip: the old index now names c.
        mix().takeClip(1, 0);
        EXPECT_TRUE(dragAndDrop(lane(2), data, 460));
    });
    ASSERT_EQ(lane(1)->clips.size(), 1u);
    EXPECT_EQ(lane(1)->clips[0], c);
    ASSERT_EQ(lane(2)->clips.size(), 1u);
    EXPECT_EQ(lane(2)->clips[0]->name, "dragged");

    // A clip that left its lane during the drag is not brought back, and nothing else goes.
    shiftDrag(lane(1), 320, [&](QMimeData& data) {
        emptyLane(1);
        mix().addClip(1, a);
        EXPECT_TRUE(dragAndDrop(lane(2), data, 700));
    });
    ASSERT_EQ(lane(1)->clips.size(), 1u);
    EXPECT_EQ(lane(1)->clips[0], a);
    EXPECT_EQ(lane(2)->clips.size(), 1u);
}

TEST_F(LaneDropTest, AClipThePlayDeckStartedDuringTheDragIsNotMoved) {
    auto clip = addClip(lane(1), 100, 120, "playing");
    shiftDrag(lane(1), 160, [&](QMimeData& data) {
        playDeck().current[0] = clip;  // the play head reached it meanwhile
        EXPECT_TRUE(dragAndDrop(lane(2), data, 460));
    });
    ASSERT_EQ(lane(1)->clips.size(), 1u);
    EXPECT_EQ(lane(1)->clips[0], clip);
    EXPECT_TRUE(lane(2)->clips.empty());
    EXPECT_EQ(statusText(), "do not move a playing track");

    // Copying it leaves it where it plays.
    playDeck().current[0] = nullptr;
    shiftDrag(lane(1), 160, [&](QMimeData& data) {
        playDeck().current[1] = clip;
        Keyboard::setModifiersForTesting(Qt::AltModifier);
        EXPECT_TRUE(dragAndDrop(lane(2), data, 460));
    });
    EXPECT_EQ(lane(1)->clips.size(), 1u);
    EXPECT_EQ(lane(2)->clips.size(), 1u);
}

TEST_F(LaneDropTest, ForeignAndStaleClipDataIsIgnored) {
    auto clip = addClip(lane(1), 100, 120, "mine");
    const QByteArray payloads[] = {
        "garbage",
        "",
        model::encodeClipDrag(clip.get(), 1).replace(' ', ';'),
        // The same clip named by another process.
        QByteArray::number(reinterpret_cast<quintptr>(clip.get()), 16) + " 1 1",
    };
    for (const QByteArray& payload : payloads) {
        std::unique_ptr<QMimeData> data(platform::makeClipMimeData(payload, 0));
        EXPECT_TRUE(dragAndDrop(lane(2), *data, 400)) << payload.constData();
    }
    // A picture from another program is not even taken by the lane.
    QMimeData image;
    image.setImageData(QImage(10, 10, QImage::Format_ARGB32));
    EXPECT_FALSE(dragAndDrop(lane(2), image, 400));

    ASSERT_EQ(lane(1)->clips.size(), 1u);
    EXPECT_EQ(lane(1)->clips[0], clip);
    EXPECT_TRUE(lane(2)->clips.empty());
}

TEST_F(LaneDropTest, RealMp3DropMeasuresTheFileAndReadsItsTag) {
    platform::setMovieMeasure({});
    const QString source = testsupport::makeMedia({testsupport::MediaKind::Mp3Cbr, 3.5});
    ASSERT_FALSE(source.isEmpty());
    QFile in(source);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    const QString path = file("real song.mp3", in.readAll() + id3v1("Sine", "Generator"));
    const QString notMedia = file("not media.mp3", QByteArray(5000, 'z'));

    auto data = files({path});
    ASSERT_TRUE(dragAndDrop(lane(1), *data, 10));
    mix().setZoom(4);
    ASSERT_TRUE(dragAndDrop(lane(2), *data, 10));
    auto bad = files({notMedia});
    ASSERT_TRUE(dragAndDrop(lane(2), *bad, 100));
    // A download stopped after 80 KB of a 20 s file is laid at the 5 s of sound it holds, not
    // at the length its header still claims.
    const QString cut = testsupport::truncatedCopy(
        testsupport::makeMedia({testsupport::MediaKind::Mp3Cbr, 20.0}), 80 * 1024, "cut.mp3");
    ASSERT_TRUE(dragAndDrop(lane(1), *files({cut}), 100));

    ASSERT_EQ(lane(1)->clips.size(), 2u);
    EXPECT_DOUBLE_EQ(lane(1)->clips[1]->lengthPx, 20);  // at zoom 4
    EXPECT_EQ(lane(1)->clips[0]->name, "Generator: Sine");
    EXPECT_DOUBLE_EQ(lane(1)->clips[0]->lengthPx, 3);
    ASSERT_EQ(lane(2)->clips.size(), 1u);
    EXPECT_DOUBLE_EQ(lane(2)->clips[0]->lengthPx, 14);
    EXPECT_EQ(statusText(), "Error opening not media.mp3 as movie.");
}

TEST_F(LaneDropTest, LanesLightUpWhileADragHoversAndNameTheLaneTheMouseEntered) {
    auto data = files({file("a.mp3")});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(lane(2), &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_EQ(lane(2)->backdrop(), laneHighlightPicture());
    EXPECT_TRUE(laneServices().dropPending());
    QDragLeaveEvent leave;
    QApplication::sendEvent(lane(2), &leave);
    EXPECT_EQ(lane(2)->backdrop(), laneBackdropPicture());
    EXPECT_TRUE(laneServices().dropPending());  // leaving keeps the one drop a drag may make

    for (int n : {2, 1}) {
        laneServices().mouseEnteredLane(n);
        EXPECT_EQ(laneServices().activeLane(), n);
        EXPECT_EQ(statusText(), QString::number(n));
    }
}

TEST(LaneFileTypes, TheLanesTakeTheirMediaTypesOnly) {
    testsupport::ensureApp();  // registers the file types
    const struct {
        const char* path;
        bool taken;
    } cases[] = {
        {"/m/a.mp3", true},  {"/m/a.MP3", true},  {"/m/a.m4a", true}, {"/m/a.aac", true},
        {"/m/a.mov", true},  {"/m/a.mpg", true},  {"/m/a.mp2", true}, {"/m/a.wav", false},
        {"/m/a.mp4", false}, {"/m/a.txt", false}, {"/m/a", false},    {"/m/mp3", false},
    };
    for (const auto& c : cases) EXPECT_EQ(platform::laneTakesFileType(c.path), c.taken) << c.path;
}

}  // namespace
