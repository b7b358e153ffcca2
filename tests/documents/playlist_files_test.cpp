// Playlist files on disk: atomic saves, refusing what is not a playlist, round trips through
// Save and Open, records whose media is gone, and documents opened by the application.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <QDir>
#include <QFileDevice>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <functional>

#include "document_fixture.h"
#include "support/skips.h"

namespace {

using platform::DialogAnswer;
using testsupport::DocumentFixture;

class PlaylistFiles : public DocumentFixture {
  protected:
    // A titled, saved document with one clip, then a second clip added.
    QString changedDocumentIn(const QString& folder) {
        EXPECT_TRUE(QDir().mkpath(folder));
        const QString doc = folder + "/mix.txt";
        addClip(1, 200, 100, "a", media("a.mp3"));
        saveFiles = {doc};
        EXPECT_EQ(documents().save(), 1);
        addClip(2, 400, 100, "b", media("b.mp3"));
        shownDialogs.clear();
        return doc;
    }

    bool failureShown() const {
        for (const auto& d : shownDialogs)
            if (d.message == "The playlist could not be saved.") return true;
        return false;
    }
};

struct BrokenTarget {
    const char* name;
    std::function<void(const QString& folder, const QString& doc)> breakIt;
    std::function<void()> mendIt = [] {};
};

// The system refuses to let this process write files longer than a few bytes, whoever runs it.
void limitFileSize(rlim_t bytes) {
    static rlimit before{};
    if (bytes == RLIM_INFINITY) {
        setrlimit(RLIMIT_FSIZE, &before);
        signal(SIGXFSZ, SIG_DFL);
        return;
    }
    getrlimit(RLIMIT_FSIZE, &before);
    signal(SIGXFSZ, SIG_IGN);  // the write fails instead of ending the process
    rlimit small = before;
    small.rlim_cur = bytes;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
}

TEST_F(PlaylistFiles, AFailedSaveLeavesTheOldFileAndSaysSo) {
    const BrokenTarget cases[] = {
        {"write-protected file",
         [](const QString&, const QString& doc) {
             QFile::setPermissions(doc, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
         }},
        {"folder removed",
         [](const QString& folder, const QString&) { QDir(folder).removeRecursively(); }},
        {"file replaced by a folder",
         [](const QString&, const QString& doc) {
             QFile::remove(doc);
             QDir().mkpath(doc);
         }},
        {"the disk refuses the write", [](const QString&, const QString&) { limitFileSize(16); },
         [] { limitFileSize(RLIM_INFINITY); }},
    };
    int n = 0;
    for (const BrokenTarget& c : cases) {
        SCOPED_TRACE(c.name);
        documents().resetDocument();
        const QString folder = path(QString("case%1").arg(n++));
        const QString doc = changedDocumentIn(folder);
        const QByteArray before = readFile(doc);
        c.breakIt(folder, doc);
        const QByteArray broken = readFile(doc);

        EXPECT_EQ(documents().save(), 0);
        EXPECT_TRUE(failureShown());
        EXPECT_EQ(readFile(doc), broken);
        EXPECT_EQ(mix().document().path, doc);
        EXPECT_FALSE(mix().document().saved);
        EXPECT_EQ(w->windowTitle(), "Vontalix  -  " + doc);
        // The prompt must not let the document go when the save failed.
        answers = {DialogAnswer::Action};
        EXPECT_TRUE(documents().keepOpen());
        c.mendIt();
        EXPECT_EQ(clipCount(), 2);
        if (QString(c.name) == "write-protected file") {
            EXPECT_EQ(broken, before);
        }
    }
}

// Whoever runs the program, root included, a folder made read-only keeps its playlist.
TEST_F(PlaylistFiles, AReadOnlyFolderKeepsTheOldFile) {
    const QString folder = path("ro");
    const QString doc = changedDocumentIn(folder);
    const QByteArray before = readFile(doc);
    ASSERT_TRUE(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    EXPECT_EQ(documents().save(), 0);
    EXPECT_TRUE(failureShown());
    EXPECT_EQ(readFile(doc), before);
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{"mix.txt"});  // no temporary file left behind either
    EXPECT_FALSE(mix().document().saved);
    QFile::setPermissions(folder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

// A save killed half-way leaves its hidden temporary file; the next save of that playlist removes
// it, and only what is its own and not in use by a save still running.
TEST_F(PlaylistFiles, ASaveRemovesTheLeftoversOfEarlierSavesOfItsFile) {
    const QString folder = path("here");
    const QString doc = changedDocumentIn(folder);
    const QStringList leftovers = {".mix.txt.1a2b3c4d.tmp", ".mix.txt.7f.tmp"};
    const QStringList others = {".mix.txt.running.tmp", ".other.txt.1a2b.tmp", "mix.txt.1a2b.tmp",
                                ".mix.txt.12ab.tmp.bak", ".mix.txt.c0ffee.tmp"};
    for (const QString& name : leftovers + others)
        ASSERT_TRUE(testsupport::writeFile(folder + "/" + name, "half"));
    // Another copy of the program is saving into this one right now.
    const int running = ::open(QFile::encodeName(folder + "/.mix.txt.c0ffee.tmp"), O_RDONLY);
    ASSERT_GE(running, 0);
    ASSERT_EQ(flock(running, LOCK_EX), 0);
    ASSERT_EQ(documents().save(), 1);
    ::close(running);
    QStringList want = others + QStringList{"mix.txt"};
    want.sort();
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name), want);
}

// A playlist on a disk mounted read-only: the save says that, not that the file is protected.
// The disk is a small memory file system attached nowhere, reached only through its descriptor,
// so nothing else sees it and it needs no mount point of this root (a chroot has none).
TEST_F(PlaylistFiles, ASaveOnAReadOnlyDiskSaysSo) {
    const int fs = fsopen("tmpfs", FSOPEN_CLOEXEC);
    if (fs < 0) {
        const std::string why = errno == EPERM
                                    ? std::string("making a disk takes CAP_SYS_ADMIN")
                                    : std::string("no disk can be made: ") + strerror(errno);
        VONTALIX_SKIP_BECAUSE("the read-only disk test (" + why + ")");
    }
    ASSERT_EQ(fsconfig(fs, FSCONFIG_SET_STRING, "size", "64k", 0), 0);
    ASSERT_EQ(fsconfig(fs, FSCONFIG_CMD_CREATE, nullptr, nullptr, 0), 0);
    const int disk = fsmount(fs, FSMOUNT_CLOEXEC, 0);
    ::close(fs);
    ASSERT_GE(disk, 0);
    const QString folder = QString("/proc/self/fd/%1").arg(disk);
    if (!QFileInfo(folder).isDir()) {
        ::close(disk);
        VONTALIX_SKIP_BECAUSE("the read-only disk test (no /proc to reach the disk through)");
    }
    const QString doc = changedDocumentIn(folder);
    ASSERT_EQ(faccessat(disk, "mix.txt", F_OK, 0), 0);  // saved onto that disk, nowhere else
    ASSERT_TRUE(testsupport::writeFile(doc, "old"));
    mount_attr readOnly{};
    readOnly.attr_set = MOUNT_ATTR_RDONLY;
    ASSERT_EQ(mount_setattr(disk, "", AT_EMPTY_PATH, &readOnly, sizeof readOnly), 0);
    EXPECT_EQ(documents().save(), 0);
    EXPECT_EQ(readFile(doc), "old");
    ASSERT_TRUE(failureShown());
    EXPECT_TRUE(shownDialogs.back().explanation.contains("The disk is read-only."))
        << shownDialogs.back().explanation.toStdString();
    ::close(disk);
}

TEST_F(PlaylistFiles, SaveAsIntoAFolderThatIsGoneKeepsThePreviousPath) {
    const QString doc = changedDocumentIn(path("here"));
    saveFiles = {path("gone/mix.txt")};
    menu()->saveAsAction->trigger();
    EXPECT_TRUE(failureShown());
    EXPECT_EQ(mix().document().path, doc);
    EXPECT_EQ(w->windowTitle(), "Vontalix  -  " + doc);
}

TEST_F(PlaylistFiles, AClipWhosePathHasALineBreakIsNamedAndNothingIsWritten) {
    const QString doc = changedDocumentIn(path("here"));
    const QByteArray before = readFile(doc);
    addClip(1, 700, 100, "broken clip", path("odd\nname.mp3"));
    EXPECT_EQ(documents().save(), 0);
    ASSERT_TRUE(failureShown());
    EXPECT_TRUE(shownDialogs.back().explanation.contains("broken clip"));
    EXPECT_EQ(readFile(doc), before);
}

TEST_F(PlaylistFiles, WhatIsNotAPlaylistIsRefusedAndNeverOverwritten) {
    struct Refused {
        const char* name;
        std::function<QString()> make;
        const char* message;
    };
    const Refused cases[] = {
        {"mp3",
         [this] {
             const QString p = path("song.mp3");
             testsupport::writeFile(p, QByteArray("ID3\x03\0\0\0\0\0\0\xff\xfb\x90\x64", 14) +
                                           QByteArray(4000, '\x55'));
             return p;
         },
         "This file is not a playlist."},
        {"letter",
         [this] {
             const QString p = path("letter.txt");
             testsupport::writeFile(p, "Dear Sir,\r\nplease find attached\r\n");
             return p;
         },
         "This file is not a playlist."},
        {"missing", [this] { return path("nothing-here.txt"); },
         "The playlist could not be opened."},
        {"folder",
         [this] {
             QDir().mkpath(path("folder.txt"));
             return path("folder.txt");
         },
         "The playlist could not be opened."},
        {"fifo",
         [this] {
             const QString p = path("pipe.txt");
             ::mkfifo(QFile::encodeName(p).constData(), 0600);
             return p;
         },
         "The playlist could not be opened."},
    };
    const QString doc = changedDocumentIn(path("here"));
    for (const Refused& c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = c.make();
        const QByteArray bytes = readFile(file);
        shownDialogs.clear();
        answers = {DialogAnswer::Alternate};  // "Don't save" in the prompt
        documents().open(file);
        ASSERT_EQ(shownDialogs.size(), 2u);
        EXPECT_EQ(shownDialogs[1].message, c.message);
        // Read before the reset: the current document is still all there.
        EXPECT_EQ(mix().document().path, doc);
        EXPECT_EQ(w->windowTitle(), "Vontalix  -  " + doc);
        EXPECT_EQ(clipCount(), 2);
        EXPECT_FALSE(mix().document().saved);
        ASSERT_EQ(documents().save(), 1);
        EXPECT_EQ(readFile(file), bytes);
        EXPECT_EQ(recordCount(readFile(doc)), 2);
        mix().markChanged();
    }
}

// Clips given in seconds; the document is built at a zoom and scroll as the lanes would hold it.
struct Seconds {
    int lane;
    double centre, length;
    const char* name;
    int label;
};

TEST_F(PlaylistFiles, SaveThenOpenRestoresTheClipsAtEveryZoom) {
    const Seconds clips[] = {{1, 200, 100, "first", 3},
                             {1, 400, 60, "second", 0},
                             {1, 800, 120, "third", 7},
                             {2, 320, 80, "other lane", 5}};
    struct View {
        float zoom, scroll;
    };
    const View views[] = {{0.25f, 0}, {0.5f, 60}, {1, 0}, {2, 120}, {4, 240}};
    std::map<QString, QString> files;
    // A "%" in a path must survive: the fields after it are read from the back.
    for (const Seconds& s : clips) files[s.name] = media(QString(s.name) + " 100% mix.mp3");

    for (const View& v : views) {
        SCOPED_TRACE(testing::Message() << "zoom " << v.zoom << " scroll " << v.scroll);
        documents().resetDocument();
        mix().setZoom(v.zoom);
        mix().setScrollX(v.scroll);
        for (const Seconds& s : clips)
            addClip(s.lane, s.centre * v.zoom - v.scroll, s.length * v.zoom, s.name, files[s.name],
                    s.label);
        const QString doc = path("round.txt");
        saveFiles = {doc};
        QFile::remove(doc);
        ASSERT_EQ(documents().save(), 1);

        answers = {DialogAnswer::Alternate};
        documents().open(doc);
        EXPECT_FLOAT_EQ(mix().pixelsPerSecond(), 1.0f);
        EXPECT_FLOAT_EQ(mix().scrollX(), 0.0f);
        // Each lane comes back stacked as it was written.
        EXPECT_EQ(names(lane(1)), (std::vector<QString>{"first", "second", "third"}));
        EXPECT_EQ(names(lane(2)), (std::vector<QString>{"other lane"}));
        for (const Seconds& s : clips) {
            SCOPED_TRACE(s.name);
            const LaneView* lane = this->lane(s.lane);
            auto it = std::find_if(lane->clips.begin(), lane->clips.end(),
                                   [&](const model::ClipRef& c) { return c->name == s.name; });
            ASSERT_NE(it, lane->clips.end());
            const model::Clip& c = **it;
            EXPECT_EQ(c.lane, s.lane);
            EXPECT_EQ(onLane(c), s.centre);
            EXPECT_DOUBLE_EQ(c.centre, s.centre);
            EXPECT_DOUBLE_EQ(c.lengthPx, s.length);
            EXPECT_DOUBLE_EQ(c.fadeInEnd, s.length / 4);
            EXPECT_DOUBLE_EQ(c.fadeOutStart, s.length * 3 / 4);
            EXPECT_DOUBLE_EQ(c.inPoint, s.length / 8);
            EXPECT_DOUBLE_EQ(c.outPoint, s.length * 7 / 8);
            EXPECT_EQ(c.path, files[s.name]);
            EXPECT_EQ(c.label, s.label);
            EXPECT_EQ(c.playStart, 0);
            EXPECT_EQ(c.previewStart, 0);
            EXPECT_TRUE(c.image);
        }
        ASSERT_EQ(documents().save(), 1);
        answers = {DialogAnswer::Alternate};
        documents().open(doc);
        EXPECT_EQ(names(lane(1)), (std::vector<QString>{"first", "second", "third"}));
    }
}

// Lines that are no records are left out, and counted too: the next save drops them.
TEST_F(PlaylistFiles, RecordsWhoseMediaIsGoneAreSkippedAndCounted) {
    struct Case {
        std::vector<const char*> media;  // "" = a file that does not exist, "/" = a folder
        int loaded;
        QString status;
        int strayLines = 0;  // after the header; blank lines are not counted
    };
    QDir().mkpath(path("a-folder.mp3"));
    const Case cases[] = {
        {{"a.mp3", "b.mp3"}, 2, ""},
        {{"a.mp3", ""},
         1,
         "1 track was not loaded (1 media file missing) and stays in the playlist file."},
        {{"", "a.mp3", "/", ""},
         1,
         "3 tracks were not loaded (3 media files missing) and stay in the playlist file."},
        {{"a.mp3"}, 1, "3 lines that are no tracks were left out and will not be saved.", 3},
        {{"a.mp3", ""},
         1,
         "1 track was not loaded (1 media file missing) and stays in the playlist file. 1 line "
         "that is no track was left out and will not be saved.",
         1},
    };
    for (const Case& c : cases) {
        QByteArray text = model::playlistHeaderLine();
        for (int k = 0; k < c.strayLines; ++k) text += "junk \x01 line\r\r";
        int i = 0;
        for (const char* m : c.media) {
            const QString file = QString(m).isEmpty() ? path("gone.mp3")
                                 : QString(m) == "/"  ? path("a-folder.mp3")
                                                      : media(m);
            text += record(1 + i % 2, 30, 100 + 100 * i, QString("clip %1").arg(i), file);
            ++i;
        }
        const QString list = path("list.txt");
        ASSERT_TRUE(testsupport::writeFile(list, text));
        statusLine()->setText("stale");
        answers = {DialogAnswer::Alternate};
        documents().open(list);
        EXPECT_EQ(clipCount(), c.loaded);
        EXPECT_EQ(statusText(), c.status);
        EXPECT_EQ(mix().document().path, list);
    }
}

TEST_F(PlaylistFiles, ADocumentSentToTheApplicationOpens) {
    const QString list = path("sent.txt");
    ASSERT_TRUE(testsupport::writeFile(
        list, model::playlistHeaderLine() + record(2, 45, 300, "sent", media("s.mp3"))));
    documents().open(list);
    EXPECT_EQ(names(lane(2)), std::vector<QString>{"sent"});
    EXPECT_EQ(mix().document().path, list);
    EXPECT_EQ(w->windowTitle(), "Vontalix  -  " + list);
    EXPECT_TRUE(openFilters.empty());
}

TEST_F(PlaylistFiles, LinesEndedByLineFeedsAndAByteOrderMarkRead) {
    const QString list = path("lf.txt");
    QByteArray text = "\xEF\xBB\xBF" + model::playlistHeaderLine() +
                      record(1, 30, 100, "one", media("1.mp3")) +
                      record(1, 30, 200, "two", media("2.mp3"));
    text.replace('\r', "\r\n");
    ASSERT_TRUE(testsupport::writeFile(list, text));
    documents().open(list);
    EXPECT_EQ(names(lane(1)), (std::vector<QString>{"two", "one"}));  // the first on top
}

// A file this program wrote, with clips overlapping on both lanes and places between whole
// seconds: opened, zoomed, scrolled and saved, it reads the same seconds, the same clip on top.
TEST_F(PlaylistFiles, OpenedAndSavedAtAnyZoomAndScrollTheFileKeepsEveryPlace) {
    // Each lane's top clip first, as a save lists it.
    const QString records[] = {
        "vtlx%1%50.7%0.1%50.7%e%{e}%0%50.7%97.7%{y}%0%",  // 97.7 - 25.35 + 25.35 != 97.7
        "vtlx%1%50.5%1%50.5%b%{b}%0%50.5%74.25%{y}%2%",   // 49..99.5, over a
        "vtlx%1%50%0%49%a%{a}%0%50%25%{y}%0%",
        "vtlx%2%6.5%0.25%6.5%d%{d}%0.125%6.5%50%{y}%7%",  // 46.75..53.25, over c
        "vtlx%2%10%2%8%c%{c}%1%9%47%{y}%0%",
    };
    const auto text = [&](const QString& y) {
        QByteArray bytes = model::playlistHeaderLine();
        for (QString r : records) {
            for (const char* name : {"a", "b", "c", "d", "e"})
                r.replace(QString("{%1}").arg(name), path(QString(name) + ".mp3"));
            bytes += (r.replace("{y}", y) + u'\r').toUtf8();
        }
        return bytes;
    };
    for (const char* name : {"a", "b", "c", "d", "e"}) media(QString(name) + ".mp3");
    const QString list = path("mix.txt");
    ASSERT_TRUE(testsupport::writeFile(list, text("16")));
    const struct {
        const char* zoomRow;
        int scrollValue;  // x 60 pixels
        const char* y;    // the one field written at the zoom: 16 / zoom
    } views[] = {
        {"100", 0, "16"}, {"100", 3, "16"}, {"25", 0, "64"}, {"25", 2, "64"}, {"400", 5, "4"}};
    for (const auto& v : views) {
        SCOPED_TRACE(testing::Message() << v.zoomRow << "% scrolled " << v.scrollValue);
        answers = {DialogAnswer::Alternate};
        documents().open(list);
        ASSERT_EQ(clipCount(), 5);
        EXPECT_EQ(lane(1)->clips.back()->name, "e");
        EXPECT_EQ(lane(1)->clipUnder(60)->name, "b");
        EXPECT_EQ(lane(2)->clipUnder(50)->name, "d");
        for (QAction* level : control<platform::FlatButton>("zoomButton")->menu()->actions())
            if (level->text() == v.zoomRow) level->trigger();
        control<QScrollBar>("timelineScrollBar")->setValue(v.scrollValue);
        const QString copy = path("copy.txt");
        QFile::remove(copy);
        mix().setPath(QString());
        saveFiles = {copy};
        ASSERT_EQ(documents().save(), 1);
        EXPECT_EQ(readFile(copy), text(v.y));
    }
}

TEST_F(PlaylistFiles, RecordsPastTheTimelinesEndAreSaidToLieThereAndKept) {
    const QByteArray text = model::playlistHeaderLine() +
                            record(1, 30, 2e7, "far", media("far.mp3")) +
                            record(2, 30, 100, "near", media("near.mp3")) + "vtlx%1%x%\r" +
                            record(2, 30, 1e7 + 1, "farther", media("farther.mp3"));
    const QString list = path("far.txt");
    ASSERT_TRUE(testsupport::writeFile(list, text));
    documents().open(list);
    EXPECT_EQ(clipCount(), 1);
    EXPECT_EQ(statusText(),
              "3 tracks were not loaded (1 damaged line, 2 lie beyond the timeline's end) and "
              "stay in the playlist file.");
    ASSERT_EQ(documents().save(), 1);
    EXPECT_EQ(recordCount(readFile(list)), 4);
}

}  // namespace
