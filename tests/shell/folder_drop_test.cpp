// The folder drop target below the window's visible area, driven with drop events.
#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>
#include <map>

#include "model/drop_logic.h"
#include "platform/media_measure.h"
#include "support/app_fixture.h"
#include "support/temp_files.h"

namespace {

using testsupport::AppFixture;

class FolderDropTest : public AppFixture {
  protected:
    void SetUp() override {
        AppFixture::SetUp();
        ASSERT_TRUE(dir.isValid());
        platform::setMovieMeasure([](const QString& p) -> std::optional<double> {
            const QString name = QFileInfo(p).fileName();
            if (name.startsWith("one")) return 100.0;
            if (name.startsWith("two")) return 60.0;
            return 30.0;
        });
    }
    void TearDown() override {
        platform::setMovieMeasure({});
        AppFixture::TearDown();
    }

    QString folder(const QString& name, const QStringList& files) {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(QDir().mkpath(path));
        for (const QString& f : files) EXPECT_TRUE(testsupport::writeFile(path + "/" + f, "x"));
        return path;
    }

    // Whether folderTarget takes the drag and then the drop, a move proposed (Shift); the drop is
    // sent either way, as a forged event could be.
    bool drop(const QMimeData& data) {
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                              Qt::ShiftModifier);
        QApplication::sendEvent(control<FolderTarget>("folderTarget"), &enter);
        QDropEvent ev(QPointF(5, 5), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                      Qt::ShiftModifier);
        QApplication::sendEvent(control<FolderTarget>("folderTarget"), &ev);
        const bool dropTaken = acceptedAsCopy(ev);
        return acceptedAsCopy(enter) && dropTaken;
    }
    bool dropFile(const QString& path) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        return drop(data);
    }

    QTemporaryDir dir;
};

TEST_F(FolderDropTest, AddsTheMp3FilesToTheClipsAlreadyThere) {
    const QString music = folder("music", {"one.mp3", "three.m4a", "two.mp3", ".a.mp3"});
    const struct {
        double zoom, scroll;
        double left1, width1, left2, width2;
    } cases[] = {
        {1, 0, 10, 100, 100, 60},
        {2, 0, 10, 200, 200, 120},   // the fades and the overlap stay pixels
        {1, 120, 10, 100, 100, 60},  // visible 10, 130 on the time axis
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.zoom * 1000 + c.scroll);
        documents().resetDocument();
        mix().setZoom(c.zoom);
        mix().setScrollX(c.scroll);
        // A clip lying where the new ones go, and unsaved changes: no test, no prompt.
        lane(1)->addNewClip(0, {.name = "old", .path = "/m/old.mp3", .lengthPx = 300, .lane = 1});
        shownDialogs.clear();
        mix().select(1, 0);

        EXPECT_TRUE(dropFile(music));
        // Nothing happens inside the drop: the program the folder came from is not kept waiting.
        EXPECT_TRUE(shownDialogs.empty());
        EXPECT_EQ(lane(1)->clips.size(), 1u);
        QApplication::processEvents();

        ASSERT_EQ(shownDialogs.size(), 1u);
        EXPECT_EQ(shownDialogs[0].message, "one.mp3");
        ASSERT_EQ(lane(1)->clips.size(), 2u);
        ASSERT_EQ(lane(2)->clips.size(), 1u);
        const model::Clip& a = *lane(1)->clips[1];
        const model::Clip& b = *lane(2)->clips[0];
        EXPECT_EQ(a.name, "one.mp3");
        EXPECT_EQ(a.path, music + "/one.mp3");
        EXPECT_EQ(onLane(a), c.left1 + c.width1 / 2);
        EXPECT_DOUBLE_EQ(a.centre, c.left1 + c.width1 / 2 + c.scroll);
        EXPECT_DOUBLE_EQ(a.lengthPx, c.width1);
        EXPECT_DOUBLE_EQ(a.fadeInEnd, 7);
        EXPECT_DOUBLE_EQ(a.fadeOutStart, c.width1 - 7);
        EXPECT_DOUBLE_EQ(a.outPoint, c.width1);
        EXPECT_EQ(b.name, "two.mp3");
        EXPECT_EQ(onLane(b), c.left2 + c.width2 / 2);
        EXPECT_DOUBLE_EQ(b.fadeOutStart, c.width2 - 7);
        EXPECT_FALSE(mix().document().saved);
        EXPECT_EQ(mix().selection(), std::nullopt);
        EXPECT_EQ(w->cursor().shape(), Qt::ArrowCursor);
    }
}

TEST_F(FolderDropTest, DropsThatNameNoFolderItemDoNothing) {
    const QString empty = folder("empty", {});
    const QString hiddenOnly = folder("hidden", {".x.mp3"});
    const QString noMp3 = folder("texts", {"a.txt", "b.m4a"});
    const QString file = folder("files", {"song.mp3"}) + "/song.mp3";
    const struct {
        const char* what;
        QString path;
        bool accepted, box;
    } cases[] = {
        {"empty folder", empty, true, false},
        {"only dot-files", hiddenOnly, true, false},
        {"a media file", file, false, false},
        {"a text file", dir.filePath("texts/a.txt"), false, false},
        // A folder without MP3 files still names its first item.
        {"no MP3 in it", noMp3, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        shownDialogs.clear();
        EXPECT_EQ(dropFile(c.path), c.accepted);
        QApplication::processEvents();
        EXPECT_EQ(shownDialogs.size(), c.box ? 1u : 0u);
        if (c.box) {
            EXPECT_EQ(shownDialogs[0].message, "a.txt");
        }
        EXPECT_TRUE(lane(1)->clips.empty() && lane(2)->clips.empty());
    }
    shownDialogs.clear();
    QMimeData text;
    text.setText(dir.filePath("files"));
    EXPECT_FALSE(drop(text));
    QApplication::processEvents();
    EXPECT_TRUE(shownDialogs.empty());
}

}  // namespace
