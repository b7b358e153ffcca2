// File > Open Folder: which entries become clips, where they go, the save prompt, the folder
// dialog, and a long folder measured with the progress dialog and Cancel.
#include "documents/folder_mix.h"

#include <fcntl.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <set>

#include "document_fixture.h"
#include "documents/parallel_measure.h"
#include "media/movie.h"
#include "model/drop_logic.h"
#include "model/file_label.h"
#include "model/numtext.h"
#include "platform/media_measure.h"
#include "platform/progress.h"
#include "support/media_gen.h"

namespace {

using documents::ClipPlace;
using documents::FolderLayout;
using documents::FolderLayoutRules;
using platform::DialogAnswer;
using testsupport::DocumentFixture;

struct LaidClip {
    int lane;
    double left, width, fadeInEnd, fadeOutStart;
};

std::vector<LaidClip> laidOut(const std::vector<int32_t>& widths, const FolderLayoutRules& rules) {
    FolderLayout layout(rules);
    std::vector<LaidClip> out;
    const auto keep = [&out](const std::optional<ClipPlace>& p) {
        if (p) out.push_back({p->lane, p->left, double(p->width), p->fadeInEnd, p->fadeOutStart});
    };
    for (int32_t w : widths) keep(layout.next(w));
    keep(layout.finish());
    return out;
}

void expectClips(const std::vector<LaidClip>& got, const std::vector<LaidClip>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(got[i].lane, want[i].lane);
        EXPECT_DOUBLE_EQ(got[i].left, want[i].left);
        EXPECT_DOUBLE_EQ(got[i].width, want[i].width);
        EXPECT_DOUBLE_EQ(got[i].fadeInEnd, want[i].fadeInEnd);
        EXPECT_DOUBLE_EQ(got[i].fadeOutStart, want[i].fadeOutStart);
    }
}

TEST(FolderLayout, Geometry) {
    const struct {
        const char* what;
        FolderLayoutRules rules;
        std::vector<int32_t> widths;
        std::vector<LaidClip> clips;
    } cases[] = {
        {"transition 3",
         documents::openFolderRules(3),
         {100, 60, 200},
         {{1, 10, 100, 3, 97}, {2, 107, 60, 3, 57}, {1, 164, 200, 3, 197}}},
        {"transition 0: end to end, no ramps",
         documents::openFolderRules(0),
         {100, 60, 200},
         {{1, 10, 100, 0, 100}, {2, 110, 60, 0, 60}, {1, 170, 200, 0, 200}}},
        {"half-second transition",
         documents::openFolderRules(2.5),
         {100, 60},
         {{1, 10, 100, 2.5, 97.5}, {2, 107.5, 60, 2.5, 57.5}}},
        {"clips shorter than two ramps overlap their neighbours by half their length at most",
         documents::openFolderRules(3),
         {100, 5, 6, 50},
         {{1, 10, 100, 3, 97.5},
          {2, 107.5, 5, 2.5, 2.5},
          {1, 110, 6, 2.5, 3},
          {2, 113, 50, 3, 47}}},
        {"a jingle between songs, transition 10: each clip after the one before, none over another",
         documents::openFolderRules(10),
         {30, 2, 30},
         {{1, 10, 30, 10, 29}, {2, 39, 2, 1, 1}, {1, 40, 30, 1, 20}}},
        {"folder drop: fades 7, overlap 10",
         documents::folderDropRules(),
         {100, 60, 12},
         {{1, 10, 100, 7, 93}, {2, 100, 60, 7, 54}, {1, 154, 12, 6, 6}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        expectClips(laidOut(c.widths, c.rules), c.clips);
    }
}

TEST(FolderLayout, NameTest) {
    const QStringList open = documents::openFolderRules(3).nameParts;
    const QStringList drop = documents::folderDropRules().nameParts;
    const struct {
        const char* name;
        bool byOpen, byDrop;
    } cases[] = {
        {"song.mp3", true, true},     {"SONG.MP3", true, true},     {"a.Mp3", true, true},
        {"live.mp3.bak", true, true}, {"mix.m4a", true, false},     {"MIX.M4A", true, false},
        {"notes.txt", false, false},  {"mp3", false, false},        {"song.mp4", false, false},
        {"song_mp3", false, false},   {"song.m4a.mp3", true, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(documents::nameTaken(c.name, open), c.byOpen) << c.name;
        EXPECT_EQ(documents::nameTaken(c.name, drop), c.byDrop) << c.name;
    }
}

TEST(FolderMix, EveryLeftOutFileIsNamedWithWhatHappened) {
    const struct {
        documents::LeftOutFiles files;
        const char* text;
    } cases[] = {
        {{}, ""},
        {{{"b.mp3"}, {}, {}}, "1 file could not be opened: b.mp3"},
        {{{"b.mp3", "c.mp3", "d.mp3"}, {}, {}}, "3 files could not be opened: b.mp3, c.mp3, d.mp3"},
        {{{"b.mp3"}, {"locked.mp3"}, {"blip.mp3", "tick.m4a"}},
         "1 file could not be opened: b.mp3; 1 file not readable (no permission): locked.mp3; "
         "2 files too short for a clip at this zoom: blip.mp3, tick.m4a"},
    };
    for (const auto& c : cases) EXPECT_EQ(documents::leftOutText(c.files), c.text);
}

TEST(ParallelMeasure, ResultsKeepTheirPlaceAndStopStartsNoMore) {
    std::vector<QString> paths;
    for (int i = 0; i < 300; ++i) paths.push_back(QString::number(i));
    std::atomic<int> wakes{0};
    {
        documents::ParallelMeasure m(
            paths,
            [](const QString& p) {
                return documents::MeasuredFile{documents::MeasuredFile::Kind::Measured,
                                               p.toDouble(), 0, nullptr};
            },
            6, [&] { ++wakes; });
        for (size_t i = 0; i < paths.size(); ++i) {
            while (!m.ready(i)) std::this_thread::yield();
            EXPECT_DOUBLE_EQ(m.result(i).seconds, double(i));
        }
    }
    EXPECT_GE(wakes.load(), 300);

    // Workers blocked on their first files: after stop nothing else is started.
    std::mutex mu;
    std::condition_variable cv;
    bool release = false;
    std::atomic<int> started{0};
    {
        documents::ParallelMeasure m(
            paths,
            [&](const QString&) {
                ++started;
                std::unique_lock lock(mu);
                cv.wait(lock, [&] { return release; });
                throw std::runtime_error("damaged");  // a throwing measurement counts as failed
                return documents::MeasuredFile{};
            },
            4, {});
        while (started.load() < 4) std::this_thread::yield();
        m.stop();
        {
            std::lock_guard lock(mu);
            release = true;
        }
        cv.notify_all();
        while (m.running() > 0) std::this_thread::yield();
        EXPECT_TRUE(m.ready(0));
        EXPECT_EQ(m.result(0).kind, documents::MeasuredFile::Kind::Failed);
        EXPECT_FALSE(m.ready(4));
    }
    EXPECT_EQ(started.load(), 4);
}

class OpenFolder : public DocumentFixture {
  protected:
    void SetUp() override {
        DocumentFixture::SetUp();
        ASSERT_TRUE(QDir(dir.path()).mkpath("music"));
        model::setFileLabelSource([](const QString& p) -> std::optional<QByteArray> {
            if (p.endsWith("labelled.mp3")) return QByteArray("5");
            return std::nullopt;
        });
    }
    void TearDown() override {
        platform::setMovieMeasure({});
        model::setFileLabelSource({});
        DocumentFixture::TearDown();
    }

    QString music(const QString& name) const { return path("music/" + name); }

    // Lengths come from the table instead of the files; negative: does not open.
    void fakeLengths(std::map<QString, double> lengths) {
        platform::setMovieMeasure([lengths](const QString& p) -> std::optional<double> {
            const auto it = lengths.find(QFileInfo(p).fileName());
            if (it == lengths.end() || it->second < 0) return std::nullopt;
            return it->second;
        });
        for (const auto& [name, seconds] : lengths)
            EXPECT_TRUE(testsupport::writeFile(music(name), "x"));
    }

    void runOpenFolder(const QString& folder) {
        folders = {folder};
        menu()->openFolderAction->trigger();
    }

    std::vector<LaidClip> clips() const {
        std::vector<std::pair<double, LaidClip>> all;
        for (LaneView* lane : {lane(1), lane(2)})
            for (const auto& c : lane->clips)
                all.push_back({c->centre,
                               {c->lane, c->centre - c->lengthPx / 2, c->lengthPx, c->fadeInEnd,
                                c->fadeOutStart}});
        std::sort(all.begin(), all.end(), [](auto& a, auto& b) { return a.first < b.first; });
        std::vector<LaidClip> out;
        for (auto& [x, c] : all) out.push_back(c);
        return out;
    }
};

TEST_F(OpenFolder, LaysTheFolderOutByTheDefaultTransition) {
    const struct {
        double transition;
        std::vector<LaidClip> clips;
    } cases[] = {
        {3, {{1, 10, 100, 3, 97}, {2, 107, 60, 3, 57}, {1, 164, 200, 3, 197}}},
        {0, {{1, 10, 100, 0, 100}, {2, 110, 60, 0, 60}, {1, 170, 200, 0, 200}}},
        {0.5, {{1, 10, 100, 0.5, 99.5}, {2, 109.5, 60, 0.5, 59.5}, {1, 169, 200, 0.5, 199.5}}},
        {2.5, {{1, 10, 100, 2.5, 97.5}, {2, 107.5, 60, 2.5, 57.5}, {1, 165, 200, 2.5, 197.5}}},
        {10, {{1, 10, 100, 10, 90}, {2, 100, 60, 10, 50}, {1, 150, 200, 10, 190}}},
    };
    fakeLengths({{"a 100.mp3", 100.6}, {"b 60.m4a", 60}, {"c 200.MP3", 200.2}});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.transition);
        documents().resetDocument();
        mix().setDefaultTransition(c.transition);
        statusLine()->setText("before");
        runOpenFolder(path("music"));
        const std::vector<LaidClip> laid = clips();
        expectClips(laid, c.clips);
        // Each clip fades in over exactly its overlap with the one before, which fades out over
        // the same stretch: no dip, no doubling.
        for (size_t i = 1; i < laid.size(); ++i) {
            const LaidClip &before = laid[i - 1], &next = laid[i];
            const double overlap = before.left + before.width - next.left;
            EXPECT_DOUBLE_EQ(overlap, c.transition) << i;
            EXPECT_DOUBLE_EQ(next.fadeInEnd, overlap) << i;
            EXPECT_DOUBLE_EQ(before.width - before.fadeOutStart, overlap) << i;
        }
        EXPECT_EQ(onLane(*lane(1)->clips[0]), 60);
        EXPECT_EQ(lane(1)->clips[0]->name, "a 100.mp3");
        EXPECT_EQ(lane(1)->clips[0]->path, music("a 100.mp3"));
        EXPECT_DOUBLE_EQ(onLane(*lane(2)->clips[0]), c.clips[1].left + 30);
        EXPECT_EQ(mix().selection(), std::nullopt);
        EXPECT_FALSE(mix().document().saved);
        EXPECT_EQ(w->windowTitle(), "Vontalix");
        EXPECT_EQ(statusText(), "");  // nothing skipped; the last document's word is gone
        EXPECT_EQ(w->cursor().shape(), Qt::ArrowCursor);
    }
    // Saved, the clips read back with the same places.
    saveFiles = {path("mix.txt")};
    ASSERT_EQ(documents().save(), 1);
    EXPECT_EQ(recordCount(readFile(path("mix.txt"))), 3);
}

// Real media: which entries of a mixed folder become clips, and what is said about the rest.
TEST_F(OpenFolder, MixedFolderOfRealFiles) {
    platform::setMovieMeasure({});  // real measuring, not the fixture's stand-in
    const QString mp3 = testsupport::makeMedia({testsupport::MediaKind::Mp3Cbr, 3.0});
    const QString m4a = testsupport::makeMedia({testsupport::MediaKind::M4a, 3.0});
    const QString tiny = testsupport::makeMedia({testsupport::MediaKind::Mp3Cbr, 0.4});
    ASSERT_FALSE(mp3.isEmpty() || m4a.isEmpty() || tiny.isEmpty());
    const int32_t mp3Width = model::whole(media::openMovie(mp3)->duration());
    const int32_t m4aWidth = model::whole(media::openMovie(m4a)->duration());
    ASSERT_GE(mp3Width, 2);
    QByteArray tagged = readFile(mp3);
    tagged += QByteArray("TAG") + QByteArray("Title").leftJustified(30, '\0') +
              QByteArray("Artist").leftJustified(30, '\0') + QByteArray(65, '\0');
    const struct {
        const char* name;
        QString copyOf;
        QByteArray bytes;
    } files[] = {
        {"a.mp3", mp3, {}},        {"B.MP3", mp3, {}},       {"broken.mp3", {}, "not sound"},
        {"live.mp3.bak", mp3, {}}, {"e.m4a", m4a, {}},       {"notes.txt", {}, "text"},
        {"short.mp3", tiny, {}},   {".hidden.mp3", mp3, {}}, {"tagged.mp3", {}, tagged},
        {"labelled.mp3", mp3, {}},
    };
    for (const auto& f : files) {
        const bool made = f.copyOf.isEmpty() ? testsupport::writeFile(music(f.name), f.bytes)
                                             : QFile::copy(f.copyOf, music(f.name));
        ASSERT_TRUE(made) << f.name;
    }
    ASSERT_TRUE(QDir(path("music")).mkpath("sub"));
    ASSERT_TRUE(QDir(path("music")).mkpath("folder.mp3"));  // passed over like a text file
    mix().setDefaultTransition(1);

    runOpenFolder(path("music"));
    // Listing order: a, B, broken, e, folder.mp3, labelled, live.mp3.bak, notes, short, sub,
    // tagged; broken and short are skipped without moving lane or place.
    const struct {
        const char* name;
        int lane, width, label;
    } want[] = {
        {"a.mp3", 1, mp3Width, 0},        {"B.MP3", 2, mp3Width, 0},
        {"e.m4a", 1, m4aWidth, 0},        {"labelled.mp3", 2, mp3Width, 5},
        {"live.mp3.bak", 1, mp3Width, 0}, {"tagged.mp3", 2, mp3Width, 0},
    };
    std::vector<std::pair<double, model::ClipRef>> all;
    for (LaneView* lane : {lane(1), lane(2)})
        for (const auto& c : lane->clips) all.push_back({c->centre - c->lengthPx / 2, c});
    std::sort(all.begin(), all.end(), [](auto& a, auto& b) { return a.first < b.first; });
    ASSERT_EQ(all.size(), std::size(want));
    double left = 10;
    for (size_t i = 0; i < all.size(); ++i) {
        const model::Clip& c = *all[i].second;
        SCOPED_TRACE(want[i].name);
        EXPECT_EQ(c.name, want[i].name);
        EXPECT_EQ(c.lane, want[i].lane);
        EXPECT_DOUBLE_EQ(c.lengthPx, want[i].width);
        EXPECT_DOUBLE_EQ(onLane(c), left + want[i].width / 2.0);
        EXPECT_EQ(c.label, want[i].label);
        EXPECT_DOUBLE_EQ(c.fadeInEnd, 1);
        left += want[i].width - 1;
    }
    EXPECT_EQ(statusText(),
              "1 file could not be opened: broken.mp3; "
              "1 file too short for a clip at this zoom: short.mp3");
}

// Media longer than a day could not be saved and read back: it is skipped and named.
TEST_F(OpenFolder, MediaLongerThanADayIsSkipped) {
    fakeLengths({{"a.mp3", 100}, {"b day.mp3", 86400.5}, {"c.mp3", 50}});
    mix().setDefaultTransition(0);
    runOpenFolder(path("music"));
    expectClips(clips(), {{1, 10, 100, 0, 100}, {2, 110, 50, 0, 50}});
    EXPECT_EQ(statusText(), "1 file could not be opened: b day.mp3");
}

// A name with a line break, or one that is not UTF-8 (which the program cannot even find by
// its decoded name), could not be saved in a playlist: such files are named, never laid, and the
// mix saves.
TEST_F(OpenFolder, NamesAPlaylistCannotHoldAreRefusedAndNamed) {
    fakeLengths({{"a.mp3", 100}, {"b\nc.mp3", 60}, {"e.mp3", 50}});
    const QByteArray raw = QFile::encodeName(music("d")) + "\xff.mp3";
    const int fd = ::open(raw.constData(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    ::close(fd);
    mix().setDefaultTransition(0);
    runOpenFolder(path("music"));
    expectClips(clips(), {{1, 10, 100, 0, 100}, {2, 110, 50, 0, 50}});
    EXPECT_EQ(statusText(),
              "2 files were not taken, a playlist cannot hold them: \"b\u21b5c.mp3\" (line break "
              "in its path), \"d\uFFFD.mp3\" (name not UTF-8)");
    saveFiles = {path("mix.txt")};
    EXPECT_EQ(documents().save(), 1);
    ::unlink(raw.constData());  // the temporary folder's removal would not find it
}

TEST_F(OpenFolder, SavePromptAndFolderDialog) {
    fakeLengths({{"a.mp3", 100}, {"b.mp3", 60}});
    enum class Doc { Empty, Saved, Changed };
    const struct {
        const char* what;
        Doc doc;
        std::vector<DialogAnswer> answers;  // the prompt, then the save dialog's answers
        QString saveTo;
        bool chooseFolder;
        bool prompted, laidOut, folderAsked;
    } cases[] = {
        {"empty lanes: no prompt", Doc::Empty, {}, "", true, false, true, true},
        // The prompt looks at the lanes, not at the saved flag.
        {"saved, Don't save", Doc::Saved, {DialogAnswer::Alternate}, "", true, true, true, true},
        {"changed, Save", Doc::Changed, {DialogAnswer::Action}, "doc.txt", true, true, true, true},
        {"changed, Save, save dialog cancelled",
         Doc::Changed,
         {DialogAnswer::Action},
         "",
         true,
         true,
         false,
         false},
        {"changed, Cancel", Doc::Changed, {DialogAnswer::Cancel}, "", true, true, false, false},
        {"folder dialog cancelled",
         Doc::Changed,
         {DialogAnswer::Alternate},
         "",
         false,
         true,
         false,
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        documents().resetDocument();
        if (c.doc != Doc::Empty) addClip(1, 500, 40, "old", media("old.mp3"));
        if (c.doc == Doc::Saved) {
            saveFiles = {path("saved.txt")};
            ASSERT_EQ(documents().save(), 1);
        }
        const QString titleBefore = w->windowTitle();
        const int flagBefore = mix().document().saved;
        shownDialogs.clear();
        answers.assign(c.answers.begin(), c.answers.end());
        saveFiles = {c.saveTo.isEmpty() ? QString() : path(c.saveTo)};
        folders = {c.chooseFolder ? path("music") : QString()};
        menu()->openFolderAction->trigger();

        EXPECT_EQ(promptShown(), c.prompted);
        EXPECT_EQ(folders.empty(), c.folderAsked);
        EXPECT_EQ(w->cursor().shape(), Qt::ArrowCursor);
        if (c.laidOut) {
            EXPECT_EQ(names(lane(1)), std::vector<QString>{"a.mp3"});
            EXPECT_EQ(names(lane(2)), std::vector<QString>{"b.mp3"});
        } else {
            // Without a folder chosen the mix stays as it was, even after "Don't save".
            EXPECT_EQ(names(lane(1)), std::vector<QString>{"old"});
            EXPECT_EQ(w->windowTitle(), titleBefore);
            EXPECT_EQ(mix().document().saved, flagBefore);
        }
        if (!c.saveTo.isEmpty()) {
            EXPECT_EQ(recordCount(readFile(path(c.saveTo))), 1);
        }
    }
}

// 200 files, the ones from the 100th on slow to measure: the progress dialog comes after half a
// second with the watch cursor up; Cancel keeps what was laid, going on lays out everything.
TEST_F(OpenFolder, LongFolderShowsProgressAndCancelKeepsTheClipsLaid) {
    std::map<QString, double> lengths;
    for (int i = 0; i < 200; ++i) lengths[QStringLiteral("f%1.mp3").arg(i, 3, 10, QChar('0'))] = 20;
    fakeLengths(lengths);
    for (bool cancel : {true, false}) {
        SCOPED_TRACE(cancel);
        auto gate = std::make_shared<std::atomic<bool>>(false);
        auto measured = std::make_shared<std::atomic<int>>(0);
        platform::setMovieMeasure([gate, measured](const QString& p) -> std::optional<double> {
            if (QFileInfo(p).fileName() >= "f100") {
                while (!gate->load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            ++*measured;
            return 20.0;
        });
        std::vector<int> values;
        int maximum = 0;
        bool watchShown = false;
        QElapsedTimer clock;
        qint64 firstShownMs = -1;
        platform::dialogHooks().progress = [&](const QString&, int value, int max) {
            if (values.empty()) firstShownMs = clock.elapsed();
            values.push_back(value);
            maximum = max;
            watchShown = w->cursor().shape() == Qt::WaitCursor && documents().documentBusy;
            gate->store(true);
            return cancel;
        };
        documents().resetDocument();
        clock.start();
        runOpenFolder(path("music"));

        ASSERT_FALSE(values.empty());
        EXPECT_EQ(values.front(), 100);
        EXPECT_GE(firstShownMs, platform::progressDelayMs());
        EXPECT_EQ(maximum, 200);
        EXPECT_TRUE(watchShown);
        EXPECT_EQ(w->cursor().shape(), Qt::ArrowCursor);
        EXPECT_FALSE(documents().documentBusy);
        EXPECT_EQ(mix().selection(), std::nullopt);
        EXPECT_EQ(clipCount(), cancel ? 100 : 200);
        if (cancel) {
            EXPECT_EQ(values.size(), 1u);
            EXPECT_LE(*measured, 100 + documents::measureThreads(200));
        } else {
            EXPECT_EQ(values.back(), 200);
            EXPECT_EQ(lane(2)->clips.back()->name, "f199.mp3");
        }
    }
}

}  // namespace
