// Records a playlist cannot load stay in it: they come back out of every save byte for byte,
// after the loaded records and in the order they were read. Reading is bounded, and a save that
// fails says what happened.
#include <errno.h>

#include <QDir>

#include "document_fixture.h"
#include "media/atomic_file.h"
#include "platform/dialogs.h"
#include "platform/progress.h"

namespace {

using platform::DialogAnswer;
using testsupport::DocumentFixture;

class KeptRecords : public DocumentFixture {
  protected:
    void TearDown() override {
        media::setWriteCall({});
        platform::dialogHooks().progress = nullptr;
        platform::progressDelayMs() = 500;
        DocumentFixture::TearDown();
    }

    // Opens the playlist made of the header and these lines, each ended by CR.
    QString openLines(const std::vector<QByteArray>& lines, const QString& name = "list.txt") {
        QByteArray text = model::playlistHeaderLine();
        for (const QByteArray& line : lines) text += line + '\r';
        const QString list = path(name);
        EXPECT_TRUE(testsupport::writeFile(list, text));
        answers = {DialogAnswer::Alternate};
        documents().open(list);
        return list;
    }

    QStringList fileNames() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }
};

// Every kind of record line that cannot be loaded.
struct Unloadable {
    const char* kind;
    QByteArray line;
    enum { Missing, Damaged, NotUtf8 } why;  // what the status line counts it as
};

TEST_F(KeptRecords, EveryUnloadableRecordComesBackOutOfASaveInOrder) {
    const QByteArray good = record(1, 30, 100, "good", media("good.mp3")).chopped(1);
    const QByteArray alsoGood = record(2, 20, 300, "also good", media("also.mp3")).chopped(1);
    const QByteArray m = media("m.mp3").toUtf8();
    const std::vector<Unloadable> cases = {
        {"media missing", record(1, 30, 500, "gone", path("gone.mp3")).chopped(1),
         Unloadable::Missing},
        {"path is a folder", "vtlx%1%30%0%30%dir%" + dir.path().toUtf8() + "%0%30%900%16%0%",
         Unloadable::Missing},
        {"no final %", "vtlx%1%30%0%30%short%" + m + "%0%30%900%16%0", Unloadable::Damaged},
        {"number the reader refuses", "vtlx%1%3x0%0%30%n%" + m + "%0%30%900%16%0%",
         Unloadable::Damaged},
        {"lane 3", "vtlx%3%30%0%30%lane%" + m + "%0%30%900%16%0%", Unloadable::Damaged},
        {"longer than a day", "vtlx%1%86401%0%30%day%" + m + "%0%30%900%16%0%",
         Unloadable::Damaged},
        {"path not UTF-8, no such file", "vtlx%1%30%0%30%latin%/music/caf\xE9.mp3%0%30%900%16%0%",
         Unloadable::Missing},
        {"name not UTF-8", "vtlx%1%30%0%30%caf\xE9%" + m + "%0%30%900%16%0%", Unloadable::NotUtf8},
        {"relative path", "vtlx%1%30%0%30%rel%music/a.mp3%0%30%900%16%0%", Unloadable::Damaged},
        {"line over 64 KB",
         "vtlx%1%30%0%30%" + QByteArray(70 * 1024, 'n') + "%" + m + "%0%30%900%16%0%",
         Unloadable::Damaged},
        {"just the key", "vtlx%", Unloadable::Damaged},
        {"binary junk", QByteArray("vtlx%\x01\x02\x00\xff%", 11), Unloadable::Damaged},
    };
    std::vector<QByteArray> lines = {good, "a note that is no record"};
    int count[3] = {0, 0, 0};
    for (const Unloadable& c : cases) {
        lines.push_back(c.line);
        ++count[c.why];
    }
    const int missing = count[Unloadable::Missing], damaged = count[Unloadable::Damaged];
    lines.push_back(alsoGood);
    const QString list = openLines(lines);

    EXPECT_EQ(clipCount(), 2);
    EXPECT_EQ(statusText(),
              QString("%1 tracks were not loaded (%2 media files missing, %3 damaged lines, 1 file "
                      "name not in UTF-8) and stay in the playlist file. 1 line that is no "
                      "track was left out and will not be saved.")
                  .arg(missing + damaged + 1)
                  .arg(missing)
                  .arg(damaged));

    QByteArray kept;
    for (const Unloadable& c : cases) kept += c.line + '\r';
    const QByteArray expected = model::playlistHeaderLine() + good + '\r' + alsoGood + '\r' + kept;
    // Saved to the same file, saved as another, and saved at the quit prompt.
    ASSERT_EQ(documents().save(), 1);
    EXPECT_EQ(readFile(list), expected);
    saveFiles = {path("copy.txt")};
    mix().setPath(QString());
    ASSERT_EQ(documents().save(), 1);
    EXPECT_EQ(readFile(path("copy.txt")), expected);
    mix().markChanged();  // a change, so closing asks
    QFile::remove(list);
    mix().setPath(list);
    answers = {DialogAnswer::Action};
    EXPECT_FALSE(documents().keepOpen());
    EXPECT_EQ(readFile(list), expected);

    // Opened again, the kept lines are kept again and the file stays the same.
    answers = {DialogAnswer::Alternate};
    documents().open(list);
    ASSERT_EQ(documents().save(), 1);
    EXPECT_EQ(readFile(list), expected);
}

TEST_F(KeptRecords, NewAndOpenForgetThem) {
    const QByteArray gone = record(1, 30, 500, "gone", path("gone.mp3")).chopped(1);
    const struct {
        const char* command;
        std::function<void()> run;
    } cases[] = {
        {"New", [this] { menu()->newAction->trigger(); }},
        {"Open", [this] { openLines({}, "empty.txt"); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        openLines({gone});
        ASSERT_EQ(mix().document().keptRecords.count(), 1);
        answers = {DialogAnswer::Alternate};
        c.run();
        EXPECT_EQ(mix().document().keptRecords.count(), 0);
        saveFiles = {path("after.txt")};
        mix().setPath(QString());
        ASSERT_EQ(documents().save(), 1);
        EXPECT_EQ(readFile(path("after.txt")), model::playlistHeaderLine());
    }
}

TEST_F(KeptRecords, FilesThatAreNoPlayableMediaLoadAndAreNamed) {
    const QString letter = path("letter.mp3");
    ASSERT_TRUE(testsupport::writeFile(letter, "Dear Sir,"));
    const QString empty = path("empty.mp3");
    ASSERT_TRUE(testsupport::writeFile(empty, ""));
    const struct {
        std::vector<QByteArray> lines;
        QString status;
    } cases[] = {
        {{record(1, 30, 100, "l", letter)}, "\"letter.mp3\" is not playable media."},
        {{record(1, 30, 100, "d", "/dev/null")}, "\"null\" is not playable media."},
        {{record(1, 30, 100, "l", letter), record(2, 30, 100, "e", empty),
          record(1, 30, 300, "l again", letter)},
         "\"letter.mp3\" and 2 more tracks are not playable media."},
        {{record(1, 30, 100, "gone", path("gone.mp3")), record(2, 30, 100, "e", empty)},
         "1 track was not loaded (1 media file missing) and stays in the playlist file. "
         "\"empty.mp3\" is not playable media."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status.toStdString());
        std::vector<QByteArray> lines;
        for (const QByteArray& l : c.lines) lines.push_back(l.chopped(1));
        openLines(lines);
        EXPECT_EQ(statusText(), c.status);
        EXPECT_EQ(clipCount() + mix().document().keptRecords.count(),
                  static_cast<int>(c.lines.size()));
    }
}

TEST_F(KeptRecords, AFileFarTooLargeIsRefusedUnread) {
    const QString doc = path("doc.txt");
    addClip(1, 200, 100, "a", media("a.mp3"));
    saveFiles = {doc};
    ASSERT_EQ(documents().save(), 1);
    const QString huge = path("huge.txt");
    {
        QFile f(huge);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(model::playlistHeaderLine());
        ASSERT_TRUE(f.resize(model::kMaxPlaylistBytes + 1));  // sparse: costs no disk
    }
    shownDialogs.clear();
    answers = {DialogAnswer::Alternate};
    documents().open(huge);
    ASSERT_EQ(shownDialogs.size(), 2u);
    EXPECT_EQ(shownDialogs[1].message, "The playlist could not be opened.");
    EXPECT_TRUE(shownDialogs[1].explanation.endsWith("It is far too large to be a playlist."));
    EXPECT_EQ(mix().document().path, doc);
    EXPECT_EQ(clipCount(), 1);
}

TEST_F(KeptRecords, CancelledOpeningLeavesAnEmptyUntitledDocument) {
    QByteArray text = model::playlistHeaderLine();
    const QByteArray gone = record(1, 30, 500, "gone", path("gone.mp3"));
    for (int i = 0; i < 60000; ++i) text += gone;
    const QString list = path("long.txt");
    ASSERT_TRUE(testsupport::writeFile(list, text));
    int steps = 0;
    platform::progressDelayMs() = 0;
    platform::dialogHooks().progress = [&steps](const QString&, int, int) { return ++steps == 2; };
    documents().open(list);
    EXPECT_EQ(steps, 2);
    EXPECT_EQ(clipCount(), 0);
    EXPECT_EQ(mix().document().keptRecords.count(), 0);
    EXPECT_EQ(mix().document().path, "");
    EXPECT_EQ(w->windowTitle(), "Vontalix");
    EXPECT_EQ(statusText(), "Opening \"long.txt\" was cancelled; the file is unchanged.");
    EXPECT_EQ(readFile(list), text);
}

TEST_F(KeptRecords, AFailedSaveSaysWhatHappenedAndKeepsTheOldFile) {
    const struct {
        int error;
        const char* says;
    } cases[] = {
        {ENOSPC, "The disk is full."},
        {EDQUOT, "The disk is full."},
        {EIO, "The disk reported an input/output error."},
        {EROFS, "The disk is read-only."},
    };
    const QString doc = path("mix.txt");
    addClip(1, 200, 100, "a", media("a.mp3"));
    saveFiles = {doc};
    ASSERT_EQ(documents().save(), 1);
    const QByteArray before = readFile(doc);
    addClip(2, 400, 100, "b", media("b.mp3"));
    const QStringList filesBefore = fileNames();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says);
        // The disk takes some bytes, then no more.
        int calls = 0;
        media::setWriteCall([&calls, &c](int fd, const void* data, size_t size) -> ssize_t {
            if (calls++ == 0) return ::write(fd, data, std::min<size_t>(size, 10));
            errno = c.error;
            return -1;
        });
        shownDialogs.clear();
        EXPECT_EQ(documents().save(), 0);
        ASSERT_EQ(shownDialogs.size(), 1u);
        EXPECT_EQ(shownDialogs[0].message, "The playlist could not be saved.");
        EXPECT_EQ(shownDialogs[0].explanation,
                  "\"" + doc + "\": " + c.says + " Any earlier version of the file is unchanged.");
        EXPECT_EQ(readFile(doc), before);
        EXPECT_EQ(fileNames(), filesBefore);  // no half-written file left behind
        EXPECT_FALSE(mix().document().saved);
    }
    media::setWriteCall({});
    EXPECT_EQ(documents().save(), 1);
    EXPECT_EQ(recordCount(readFile(doc)), 2);
}

}  // namespace
