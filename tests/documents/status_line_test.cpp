// The status line keeps what a command reported when the command's dialog closes over a lane:
// only the pointer crossing into a lane names the lane there.
#include <fcntl.h>
#include <unistd.h>

#include <QCursor>
#include <QDialog>
#include <QTest>
#include <QTextDocumentFragment>
#include <QTimer>

#include "document_fixture.h"
#include "platform/media_measure.h"
#include "support/skips.h"

namespace {

using testsupport::DocumentFixture;

class StatusLine : public DocumentFixture {
  protected:
    void pointAt(LaneView* lane, QPoint p) {
        QCursor::setPos(lane->mapToGlobal(p));
        QApplication::processEvents();
    }
};

TEST_F(StatusLine, AnOpenDialogClosingOverALaneKeepsTheMessage) {
    const QString doc = path("mix.txt");
    ASSERT_TRUE(testsupport::writeFile(doc, model::playlistHeaderLine() +
                                                record(1, 100, 400, "a", media("a.mp3")) +
                                                record(2, 100, 400, "gone", path("gone.mp3"))));
    // The file dialog is a real modal window over the lanes, chosen from after a moment.
    platform::dialogHooks().openFile = [&](const QString&, const QStringList&) {
        QDialog dialog(w);
        dialog.setGeometry(w->geometry().adjusted(100, 20, -100, -20));
        QTimer::singleShot(20, &dialog, &QDialog::accept);
        dialog.exec();
        return doc;
    };
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));

    const struct {
        const char* name;
        LaneView* lane;
    } cases[] = {{"lane 1", lane(1)}, {"lane 2", lane(2)}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        documents().resetDocument();
        pointAt(lane(1), {400, -30});  // over the ruler
        pointAt(c.lane, {400, 20});
        ASSERT_EQ(statusText(), QString::number(c.lane->lane()));  // the pointer came in

        menu()->openAction->trigger();
        QApplication::processEvents();
        EXPECT_EQ(lane(1)->clips.size(), 1u);
        // What Open reported, not the lane's number.
        EXPECT_TRUE(statusText().startsWith("1 track was not loaded"))
            << statusText().toStdString();
        statusLine()->setText(QString());
    }
}

// A message longer than the line shows its start and "…"; the whole of it is the tooltip, as
// plain text whatever characters the names hold.
TEST_F(StatusLine, ALongMessageIsCutVisiblyAndReadWholeInItsTooltip) {
    const QString longText =
        "4 tracks were not loaded (4 media files missing) and stay in the "
        "playlist file. \"<b>silentvideo</b>.mov\" and 2 more tracks are "
        "not playable media. " +
        QString("x").repeated(200);
    const struct {
        const char* name;
        QString text;
        bool cut;
    } cases[] = {{"short", "do not drop one track onto another", false},
                 {"long", longText, true},
                 {"short again", "a.mp3", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        statusLine()->setText(c.text);
        const QString shown = statusLine()->shownText();
        if (c.cut) {
            EXPECT_TRUE(shown.endsWith(QChar(0x2026))) << shown.toStdString();
            EXPECT_TRUE(c.text.startsWith(shown.chopped(1)));
            EXPECT_EQ(QTextDocumentFragment::fromHtml(statusLine()->toolTip()).toPlainText(),
                      c.text);
            EXPECT_FALSE(statusLine()->testAttribute(Qt::WA_TransparentForMouseEvents))
                << "the pointer reaches it to show the tooltip";
        } else {
            EXPECT_EQ(shown, c.text);
            EXPECT_EQ(statusLine()->toolTip(), "");
        }
    }
}

// New, Open and Open Folder start a document: what the last one's status line said is gone.
TEST_F(StatusLine, ANewDocumentStartsWithAnEmptyLine) {
    const QString doc = path("mix.txt");
    ASSERT_TRUE(testsupport::writeFile(
        doc, model::playlistHeaderLine() + record(1, 60, 100, "a", media("a.mp3"))));
    ASSERT_TRUE(QDir(dir.path()).mkpath("music"));
    ASSERT_TRUE(testsupport::writeFile(path("music/b.mp3"), "media"));
    const struct {
        const char* name;
        std::function<void()> run;
    } cases[] = {{"New", [&] { menu()->newAction->trigger(); }},
                 {"Open", [&] { documents().open(doc); }},
                 {"Open Folder", [&] {
                      folders = {path("music")};
                      menu()->openFolderAction->trigger();
                  }}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        answers = {platform::DialogAnswer::Alternate};  // "Don't save" when asked
        statusLine()->setText("1 file could not be opened: old.mp3");
        c.run();
        EXPECT_GT(clipCount() + (c.name == std::string("New")), 0);
        EXPECT_EQ(statusText(), "");
    }
}

// Each message says what happened to the file, not some other cause.
TEST_F(StatusLine, MessagesNameWhatHappened) {
    if (!testsupport::AsOrdinaryUser().inEffect())
        VONTALIX_SKIP_BECAUSE(
            "the status line messages (root cannot act as an ordinary user here: no CAP_SETUID)");
    // Files as another user meets them: "locked.mp3" may not be read.
    const auto open = QFileDevice::ReadOther | QFileDevice::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFile::permissions(dir.path()) | open));
    ASSERT_TRUE(QDir(dir.path()).mkpath("music"));
    const QString locked = media("locked.mp3");
    ASSERT_TRUE(QFile::setPermissions(locked, {}));
    const QByteArray latin1Path = QFile::encodeName(dir.path()) + "/caf\xe9.mp3";
    const int fd = ::open(latin1Path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);
    const QString doc = path("mix.txt");
    const auto playlist = [&](const QByteArray& records) {
        return [&, records] {
            ASSERT_TRUE(testsupport::writeFile(doc, model::playlistHeaderLine() + records));
        };
    };
    // A folder holding one file; the measure sees the file as this user may read it.
    const auto folderOf = [&](const QString& name, std::optional<double> seconds) {
        return [&, name, seconds] {
            QDir(path("music")).removeRecursively();
            ASSERT_TRUE(QDir(dir.path()).mkpath("music"));
            ASSERT_TRUE(testsupport::writeFile(path("music/" + name), "x"));
            if (!seconds) {
                ASSERT_TRUE(QFile::setPermissions(path("music/" + name), {}));
            }
            platform::setMovieMeasure([seconds](const QString& p) -> std::optional<double> {
                if (QFile f(p); !f.open(QIODevice::ReadOnly)) return std::nullopt;
                return seconds;
            });
            folders = {path("music")};
        };
    };
    const auto openPlaylist = [&] { documents().open(doc); };
    const auto openFolder = [&] { menu()->openFolderAction->trigger(); };
    const struct {
        const char* name;
        std::function<void()> prepare, run;
        const char* message;
    } cases[] = {
        {"a track this user may not read", playlist(record(1, 60, 100, "locked", locked)),
         openPlaylist, "\"locked.mp3\" is not readable (no permission)."},
        {"a record whose path is not UTF-8, of a file that is there",
         playlist("vtlx%1%60%0%60%cafe%" + latin1Path + "%0%60%100%16%0%\r"), openPlaylist,
         "1 track was not loaded (1 file name not in UTF-8) and stays in the playlist file."},
        {"a folder file this user may not read", folderOf("locked.mp3", {}), openFolder,
         "1 file not readable (no permission): locked.mp3"},
        {"a folder file shorter than a pixel", folderOf("blip.mp3", 0.4), openFolder,
         "1 file too short for a clip at this zoom: blip.mp3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        documents().resetDocument();
        c.prepare();
        {
            testsupport::AsOrdinaryUser user;
            c.run();
        }
        EXPECT_EQ(statusText(), c.message);
    }
    ::unlink(latin1Path.constData());  // a name the temporary folder's clean-up cannot spell
}

}  // namespace
