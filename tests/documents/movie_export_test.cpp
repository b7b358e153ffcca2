// The mix exported as a movie, read back with FFmpeg: the tracks and their format, where each
// clip's section sounds and what it holds, clips that cannot be used, and a movie that is
// cancelled or cannot be written leaving no file behind.
#include "documents/movie_export.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <cmath>
#include <csignal>
#include <thread>

#include "document_fixture.h"
#include "media/decoder.h"
#include "media/ffmpeg_util.h"
#include "platform/progress.h"
#include "support/media_gen.h"

namespace {

using documents::ExportClip;
using documents::MixSnapshot;
using Outcome = media::MovieWriteResult::Outcome;
using Status = media::SoundSourceProbe::Status;
using testsupport::MediaKind;
using testsupport::Signal;

constexpr int kRate = media::kMovieRate;
constexpr double kTolerance = 0.010;  // seconds

struct TrackInfo {
    int codec = 0;
    int profile = 0;
    int rate = 0;
    int channels = 0;
    bool isDefault = false;
    std::vector<float> samples;  // interleaved stereo at 44.1 kHz
};

std::vector<float> decodeStream(const QString& path, int stream, int rate) {
    media::AudioDecoder d;
    d.setOutputRate(rate);
    std::vector<float> all;
    if (!d.open(path, stream)) return all;
    std::vector<float> buf(4096 * 2);
    while (int n = d.read(buf.data(), 4096))
        all.insert(all.end(), buf.begin(), buf.begin() + n * 2);
    return all;
}

std::vector<TrackInfo> readMovie(const QString& path) {
    std::vector<TrackInfo> tracks;
    QString error;
    media::ff::FormatPtr fmt = media::ff::openInput(path, &error);
    if (!fmt) {
        ADD_FAILURE() << "cannot open " << path.toStdString() << ": " << error.toStdString();
        return tracks;
    }
    EXPECT_STREQ(fmt->iformat->name, "mov,mp4,m4a,3gp,3g2,mj2");
    for (unsigned i = 0; i < fmt->nb_streams; ++i) {
        const AVStream* st = fmt->streams[i];
        if (st->codecpar->codec_type != AVMEDIA_TYPE_AUDIO) continue;
        TrackInfo t;
        t.codec = st->codecpar->codec_id;
        t.profile = st->codecpar->profile;
        t.rate = st->codecpar->sample_rate;
        t.channels = st->codecpar->ch_layout.nb_channels;
        t.isDefault = st->disposition & AV_DISPOSITION_DEFAULT;
        t.samples = decodeStream(path, static_cast<int>(i), kRate);
        tracks.push_back(std::move(t));
    }
    return tracks;
}

// The stretches where a track sounds, in seconds: 1 ms blocks whose loudest sample passes a
// threshold, with breaks of up to 5 ms bridged.
std::vector<std::pair<double, double>> soundingSpans(const std::vector<float>& s) {
    const size_t block = kRate / 1000, frames = s.size() / 2;
    const auto at = [&](size_t b) {
        return static_cast<double>(std::min(b * block, frames)) / kRate;
    };
    std::vector<std::pair<double, double>> spans;
    size_t start = 0, quietSince = 0;
    bool in = false;
    for (size_t b = 0; b * block < frames; ++b) {
        float peak = 0;
        for (size_t k = b * block; k < std::min(frames, (b + 1) * block); ++k)
            peak = std::max({peak, std::fabs(s[2 * k]), std::fabs(s[2 * k + 1])});
        const bool loud = peak > 0.1f;
        if (loud && !in) {
            if (!spans.empty() && b - quietSince <= 5) {
                spans.pop_back();
            } else {
                start = b;
            }
            in = true;
        } else if (!loud && in) {
            spans.push_back({at(start), at(b)});
            quietSince = b;
            in = false;
        }
    }
    if (in) spans.push_back({at(start), static_cast<double>(frames) / kRate});
    return spans;
}

// How far the track's samples from `at` differ from the source's from `media`, relative to the
// source's level, over 50 ms.
double mismatch(const std::vector<float>& track, double at, const std::vector<float>& source,
                double media) {
    const size_t n = kRate / 20;
    const size_t a = static_cast<size_t>(std::lround(at * kRate)) * 2;
    const size_t m = static_cast<size_t>(std::lround(media * kRate)) * 2;
    if (a + 2 * n > track.size() || m + 2 * n > source.size()) return 1e9;
    double diff = 0, level = 0;
    for (size_t k = 0; k < 2 * n; ++k) {
        diff += std::pow(track[a + k] - source[m + k], 2);
        level += std::pow(source[m + k], 2);
    }
    return std::sqrt(diff / std::max(level, 1e-12));
}

QString chirp(double seconds, int rate = 48000, MediaKind kind = MediaKind::Mp3Cbr) {
    const QString p = testsupport::makeMedia({kind, seconds, Signal::Chirp, rate});
    EXPECT_FALSE(p.isEmpty());
    return p;
}

QString silence(double seconds) {
    const QString p = testsupport::makeMedia({MediaKind::Mp3Cbr, seconds, Signal::Silence});
    EXPECT_FALSE(p.isEmpty());
    return p;
}

// Files the shared generator does not make: a mono sound, a video without sound.
QString generated(const QString& name, const QStringList& args) {
    const QString out = testsupport::tempDir() + u'/' + name;
    if (QFileInfo::exists(out)) return out;
    EXPECT_TRUE(testsupport::runFfmpeg(args + QStringList{out})) << name.toStdString();
    return out;
}

QString monoChirp() {
    return generated("mono-chirp.m4a",
                     {"-f", "lavfi", "-i", "aevalsrc=0.5*sin(2*PI*(200+400*t)*t):s=22050:d=4",
                      "-c:a", "aac", "-b:a", "96k"});
}

// A clip as a lane holds it: left edge, length, in and out point in seconds, times the zoom.
ExportClip clipAt(const QString& path, int lane, double left, double length, double in, double out,
                  double zoom, const QString& name = "clip") {
    ExportClip c;
    c.path = path;
    c.name = name;
    c.lane = lane;
    c.lengthPx = length * zoom;
    c.centre = left * zoom + c.lengthPx / 2;
    c.inPoint = in * zoom;
    c.outPoint = out * zoom;
    return c;
}

class MovieExport : public ::testing::Test {
  protected:
    QString target(const QString& name = "qtmov.mov") const { return dir.filePath(name); }

    documents::ExportResult run(const MixSnapshot& mix, const QString& path) {
        media::MovieWriteControl control;
        return documents::exportMix(mix, path, control);
    }

    QStringList entries() const {
        return QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries);
    }

    QTemporaryDir dir;
};

// One clip's expected section: where it sounds on its lane's track and from where in its media.
struct Expect {
    int lane;
    double from, to, media;
};

struct PlacementCase {
    const char* name;
    double zoom;
    std::vector<ExportClip> clips;
    std::vector<Expect> sounding;  // each lane's sections in time order
};

TEST_F(MovieExport, EachClipSoundsItsSectionWhereTheMixPlaysIt) {
    const QString a = chirp(6), b = chirp(6, 32000, MediaKind::M4a);
    const QString quiet = silence(6);
    const std::vector<PlacementCase> cases = {
        {"in point 0 at 100 %",
         1,
         {clipAt(a, 1, 0.5, 6, 0, 3, 1), clipAt(b, 2, 1.25, 6, 0, 2, 1)},
         {{1, 0.5, 3.5, 0}, {2, 1.25, 3.25, 0}}},
        {"in point above 0",
         1,
         {clipAt(a, 1, 1, 6, 0.75, 2.5, 1), clipAt(b, 2, 0, 6, 2, 4.5, 1)},
         {{1, 1.75, 3.5, 0.75}, {2, 2, 4.5, 2}}},
        {"zoom 25 %",
         0.25,
         {clipAt(a, 1, 1, 6, 0.5, 2, 0.25), clipAt(b, 2, 2, 6, 0, 1.5, 0.25)},
         {{1, 1.5, 3, 0.5}, {2, 2, 3.5, 0}}},
        {"zoom 400 %",
         4,
         {clipAt(a, 1, 2, 6, 0, 2, 4), clipAt(b, 2, 0.5, 6, 1, 3, 4)},
         {{1, 2, 4, 0}, {2, 1.5, 3.5, 1}}},
        {"a clip left of 0 is cut at 0",
         1,
         {clipAt(a, 1, -1, 6, 0, 3, 1), clipAt(b, 2, -3, 6, 2, 5, 1)},
         {{1, 0, 2, 1}, {2, 0, 2, 3}}},
        {"the clip above wins where two of a lane overlap",
         1,
         {clipAt(a, 1, 0, 6, 0, 4, 1), clipAt(quiet, 1, 1, 6, 0, 1.5, 1),
          clipAt(b, 2, 3, 6, 0, 1, 1), clipAt(a, 2, 0, 6, 0, 5, 1)},
         {{1, 0, 1, 0}, {1, 2.5, 4, 2.5}, {2, 0, 5, 0}}},
        {"sources of other rates and channel counts",
         1,
         {clipAt(chirp(4, 22050, MediaKind::M4a), 1, 0.5, 4, 0, 3, 1),
          clipAt(monoChirp(), 2, 1, 4, 0.5, 3, 1)},
         {{1, 0.5, 3.5, 0}, {2, 1.5, 4, 0.5}}},
    };
    for (const PlacementCase& c : cases) {
        SCOPED_TRACE(c.name);
        MixSnapshot mix;
        mix.zoom = c.zoom;
        mix.clips = c.clips;
        const documents::ExportResult result = run(mix, target());
        ASSERT_EQ(result.outcome, Outcome::Written) << result.problem.toStdString();
        EXPECT_EQ(result.skipped, 0);
        const std::vector<TrackInfo> tracks = readMovie(target());
        ASSERT_EQ(tracks.size(), 2u);
        double end = 0;
        for (const Expect& e : c.sounding) end = std::max(end, e.to);
        for (int lane = 1; lane <= 2; ++lane) {
            SCOPED_TRACE(lane);
            const TrackInfo& t = tracks[lane - 1];
            EXPECT_EQ(t.codec, AV_CODEC_ID_AAC);
            EXPECT_EQ(t.profile, FF_PROFILE_AAC_LOW);
            EXPECT_EQ(t.rate, kRate);
            EXPECT_EQ(t.channels, 2);
            EXPECT_TRUE(t.isDefault);
            // Both tracks run to the end of the last section, with silence after their own.
            EXPECT_NEAR(t.samples.size() / 2.0 / kRate, end, 0.03);
            std::vector<std::pair<double, double>> want;
            for (const Expect& e : c.sounding)
                if (e.lane == lane) want.push_back({e.from, e.to});
            const auto got = soundingSpans(t.samples);
            ASSERT_EQ(got.size(), want.size());
            for (size_t i = 0; i < want.size(); ++i) {
                EXPECT_NEAR(got[i].first, want[i].first, kTolerance) << "onset " << i;
                EXPECT_NEAR(got[i].second, want[i].second, kTolerance) << "end " << i;
            }
        }
        // What sounds is the clip's own media from the right place.
        for (const Expect& e : c.sounding) {
            const ExportClip* clip = nullptr;
            for (const ExportClip& k : c.clips)
                if (k.lane == e.lane && k.path != quiet) clip = &k;
            for (const ExportClip& k : c.clips)  // the section's own clip when a lane has two
                if (k.lane == e.lane && k.path != quiet &&
                    std::fabs((k.centre - k.lengthPx / 2 + k.inPoint) / c.zoom - e.from) < 1e-9)
                    clip = &k;
            ASSERT_NE(clip, nullptr);
            const std::vector<float> source = decodeStream(clip->path, 0, kRate);
            const double mid = (e.from + e.to) / 2;
            EXPECT_LT(mismatch(tracks[e.lane - 1].samples, mid, source, e.media + mid - e.from),
                      0.1)
                << "lane " << e.lane << " at " << mid;
        }
    }
}

// A track cut into many short runs, each encoded on its own, decodes as if one encoder had
// run through it: at no seam between two runs does the tone differ from its source by more than
// the codec's noise anywhere else, and the tone stays in its place to the sample.
TEST_F(MovieExport, ATrackCutIntoRunsHasNoSeam) {
    constexpr int kFrame = 1024;
    constexpr int64_t kRun = 16 * kFrame;  // a seam every 0.37 s
    const QString sources[] = {testsupport::makeMedia({MediaKind::Mp3Cbr, 9, Signal::Sine, kRate}),
                               testsupport::makeMedia({MediaKind::M4a, 9, Signal::Sine, 48000})};
    const int64_t from = 13230, to = 7 * kRate, media = kRate / 2;  // off the frame grid
    std::vector<media::MovieTrackLayout> layout;
    for (const QString& source : sources) {
        ASSERT_FALSE(source.isEmpty());
        media::MovieSection s;
        s.path = source;
        s.mediaFrom = media;
        s.trackFrom = from;
        s.trackTo = to;
        s.frameIndex = media::probeSoundSource(source).frameIndex;
        layout.push_back({s});
    }
    media::MovieWriteControl control;
    const media::MovieWriteResult written =
        media::writeSoundMovie(target(), layout, to + kRate / 4, control, kRun);
    ASSERT_EQ(written.outcome, Outcome::Written) << written.problem.toStdString();
    const std::vector<TrackInfo> tracks = readMovie(target());
    ASSERT_EQ(tracks.size(), 2u);
    for (size_t t = 0; t < tracks.size(); ++t) {
        SCOPED_TRACE(sources[t].toStdString());
        const std::vector<float> source = decodeStream(sources[t], 0, kRate);
        const std::vector<float>& track = tracks[t].samples;
        ASSERT_GE(track.size() / 2, static_cast<size_t>(to));
        // The error of each frame of the track against the source, the clip's edges left out.
        double seam = 0, elsewhere = 0;
        for (int64_t block = (from + 4 * kFrame) / kFrame * kFrame; block + kFrame < to - kFrame;
             block += kFrame) {
            double err = 0;
            for (int64_t k = block; k < block + kFrame; ++k)
                for (int c = 0; c < 2; ++c)
                    err += std::pow(track[2 * k + c] - source[2 * (k - from + media) + c], 2);
            err = std::sqrt(err / (2 * kFrame));
            // The two frames either side of a seam hold what both runs encoded.
            const int64_t cut = (block + kRun / 2) / kRun * kRun;
            const bool atSeam = block >= cut - 2 * kFrame && block < cut + 2 * kFrame;
            (atSeam ? seam : elsewhere) = std::max(atSeam ? seam : elsewhere, err);
        }
        // Frames differ in noise by half again; a seam without the frames before it errs 25-fold.
        EXPECT_GT(seam, 0);
        EXPECT_LE(seam, 1.5 * elsewhere);
    }
}

TEST_F(MovieExport, EmptyLanesGiveAMovieWithTwoEmptyTracks) {
    QFile old(target());
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("an older movie");
    old.close();
    const documents::ExportResult result = run(MixSnapshot(), target());
    ASSERT_EQ(result.outcome, Outcome::Written) << result.problem.toStdString();
    const std::vector<TrackInfo> tracks = readMovie(target());
    ASSERT_EQ(tracks.size(), 2u);
    for (const TrackInfo& t : tracks) {
        EXPECT_EQ(t.codec, AV_CODEC_ID_AAC);
        EXPECT_TRUE(t.isDefault);
        EXPECT_LT(t.samples.size() / 2, 2048u);
    }
    EXPECT_EQ(entries(), QStringList{"qtmov.mov"});
}

TEST_F(MovieExport, ClipsThatCannotSoundAreLeftOutAndCounted) {
    const QString text = dir.filePath("notes.mp3");
    QFile f(text);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("this is not sound\n");
    f.close();
    const QString video = generated(
        "video-only.mov", {"-f", "lavfi", "-i", "testsrc=size=64x48:rate=10:d=1", "-c:v", "mpeg4"});
    struct Case {
        const char* name;
        QString path;
        Status reason;
        const char* text;
    };
    const Case cases[] = {
        {"missing file", dir.filePath("gone.mp3"), Status::Missing, "its media file is missing"},
        {"not media", text, Status::Unopenable, "its media file cannot be opened"},
        {"no sound", video, Status::NoSound, "its media has no sound"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(media::probeSoundSource(c.path).status, c.reason);
        MixSnapshot mix;
        mix.clips = {clipAt(chirp(3), 1, 0, 3, 0, 2, 1), clipAt(c.path, 1, 2.5, 3, 0, 3, 1, "bad"),
                     clipAt(c.path, 2, 0, 3, 0, 3, 1, "bad too")};
        const documents::ExportResult result = run(mix, target());
        ASSERT_EQ(result.outcome, Outcome::Written);
        EXPECT_EQ(result.skipped, 2);
        // Every clip left out is named, with why.
        EXPECT_EQ(documents::exportedText("qtmov.mov", result),
                  QString("The movie \"qtmov.mov\" was written without 2 tracks: \"bad\" (%1), "
                          "\"bad too\" (%1).")
                      .arg(c.text));
        const std::vector<TrackInfo> tracks = readMovie(target());
        ASSERT_EQ(tracks.size(), 2u);
        const auto spans = soundingSpans(tracks[0].samples);
        ASSERT_EQ(spans.size(), 1u);
        EXPECT_NEAR(spans[0].second, 2, kTolerance);
        EXPECT_TRUE(soundingSpans(tracks[1].samples).empty());
    }
}

// Cancels once the encoders are under way (or gives up when the export ended first).
struct CancelWhenStarted {
    explicit CancelWhenStarted(media::MovieWriteControl& c)
        : thread([this, &c] {
              while (c.samplesDone.load() == 0 && !ended.load()) std::this_thread::yield();
              c.cancel = true;
          }) {}
    ~CancelWhenStarted() {
        ended = true;
        thread.join();
    }
    std::atomic<bool> ended{false};
    std::thread thread;
};

TEST_F(MovieExport, CancelOrAFailingTargetLeavesNoFileAndKeepsTheOldOne) {
    MixSnapshot mix;
    for (int i = 0; i < 4; ++i) mix.clips.push_back(clipAt(chirp(6), 1 + i % 2, i * 5, 6, 0, 6, 1));
    const QByteArray old = "an older movie, kept byte for byte";
    struct Case {
        const char* name;
        bool keepsOld;
        std::function<Outcome(const QString& path)> attempt;
    };
    const Case cases[] = {
        {"cancelled while encoding", true,
         [&](const QString& path) {
             media::MovieWriteControl control;
             CancelWhenStarted watcher(control);
             return documents::exportMix(mix, path, control).outcome;
         }},
        {"the disk fills up", true,
         [&](const QString& path) {
             // A file size limit fails writes the way a full disk does.
             signal(SIGXFSZ, SIG_IGN);
             rlimit saved{};
             getrlimit(RLIMIT_FSIZE, &saved);
             rlimit small = saved;
             small.rlim_cur = 64 * 1024;
             setrlimit(RLIMIT_FSIZE, &small);
             const documents::ExportResult r = run(mix, path);
             setrlimit(RLIMIT_FSIZE, &saved);
             EXPECT_FALSE(r.problem.isEmpty());
             EXPECT_NE(r.problem, "Unknown error.");
             return r.outcome;
         }},
        {"the folder is gone", false,
         [&](const QString&) { return run(mix, dir.filePath("gone/qtmov.mov")).outcome; }},
        {"the target is a folder", false,
         [&](const QString& path) {
             QFile::remove(path);
             QDir().mkpath(path);
             const Outcome o = run(mix, path).outcome;
             EXPECT_TRUE(QFileInfo(path).isDir());
             QDir(path).removeRecursively();
             return o;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile f(target());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(old);
        f.close();
        const Outcome o = c.attempt(target());
        EXPECT_NE(o, Outcome::Written);
        if (c.keepsOld) {
            QFile kept(target());
            ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
            EXPECT_EQ(kept.readAll(), old);
        }
        // No temporary file is left beside it.
        EXPECT_LE(entries().size(), 1);
    }
}

TEST(MoviePlacement, TheViewAndTheZoomDoNotMoveWhatSounds) {
    // centre is the absolute centre: the same clip at any zoom lands on the same seconds.
    for (double zoom : {0.25, 0.5, 1.0, 2.0, 4.0}) {
        const documents::SoundingSection p =
            documents::placeClip(clipAt("x", 1, 10, 8, 1.5, 6, zoom), zoom);
        EXPECT_NEAR(p.trackFrom, 11.5, 1e-9) << zoom;
        EXPECT_NEAR(p.trackTo, 16, 1e-9) << zoom;
        EXPECT_NEAR(p.media, 1.5, 1e-9) << zoom;
    }
}

// The command in the window: the file it proposes, the copy of the lanes it works on, the
// status line afterwards, and Cancel in its progress dialog.
class MovieExportCommand : public testsupport::DocumentFixture {
  protected:
    void SetUp() override {
        DocumentFixture::SetUp();
        savedDelay = platform::progressDelayMs();
        platform::progressDelayMs() = 0;  // the dialog is due at once
    }
    void TearDown() override {
        platform::progressDelayMs() = savedDelay;
        DocumentFixture::TearDown();
    }
    int savedDelay = 0;
};

TEST_F(MovieExportCommand, WritesTheLanesAtTheSecondsTheRulerShows) {
    const QString a = chirp(6);
    mix().setZoom(2);                                       // 200 %: two timeline pixels a second
    control<QScrollBar>("timelineScrollBar")->setValue(1);  // the view scrolled by 60 pixels
    addClip(1, 40 + 12 / 2.0, 12, "one", a);  // visible left edge 40: absolute 100 px = 50 s
    addClip(2, -30 + 8 / 2.0, 8, "two", a);   // left of the view: absolute 30 px = 15 s
    const QString out = path("mix.mov");
    saveFiles = {out};
    QString shownText;
    platform::dialogHooks().progress = [&](const QString& text, int, int) {
        shownText = text;
        return false;
    };
    documents().exportMovie();
    ASSERT_EQ(saveNames, std::vector<QString>{"qtmov.mov"});
    EXPECT_EQ(statusText(), "The movie \"mix.mov\" was written.");
    EXPECT_EQ(shownText, "Writing \"mix.mov\"\u2026");
    const std::vector<TrackInfo> tracks = readMovie(out);
    ASSERT_EQ(tracks.size(), 2u);
    // addClip puts in and out points at 1/8 and 7/8 of the clip.
    const std::pair<double, double> want[] = {{50 + 0.75, 50 + 5.25}, {15 + 0.5, 15 + 3.5}};
    for (int lane = 0; lane < 2; ++lane) {
        const auto spans = soundingSpans(tracks[lane].samples);
        ASSERT_EQ(spans.size(), 1u) << lane;
        EXPECT_NEAR(spans[0].first, want[lane].first, kTolerance) << lane;
        EXPECT_NEAR(spans[0].second, want[lane].second, kTolerance) << lane;
    }
    EXPECT_EQ(lane(1)->clips.size(), 1u);  // the lanes are left as they were
}

TEST_F(MovieExportCommand, CancelInTheDialogsLeavesEverythingAsItWas) {
    // Long enough that the first look at the progress comes before the end.
    for (int i = 0; i < 6; ++i) addClip(1 + i % 2, 100 + i * 400, 6, "c", chirp(6));
    const QString out = path("qtmov.mov");
    const QByteArray old = "an older movie";
    ASSERT_TRUE(testsupport::writeFile(out, old));
    saveFiles = {""};  // Cancel in the save dialog
    documents().exportMovie();
    platform::dialogHooks().progress = [](const QString&, int, int) { return true; };  // Cancel
    saveFiles = {out};
    documents().exportMovie();
    EXPECT_EQ(readFile(out), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"qtmov.mov"});
    EXPECT_EQ(statusText(), "The export was cancelled; no movie was written.");
    EXPECT_TRUE(shownDialogs.empty());
}

TEST_F(MovieExportCommand, AFailureIsShownInADialogAndNotReportedAsSuccess) {
    addClip(1, 100, 6, "c", chirp(6));
    saveFiles = {path("no such folder/qtmov.mov")};
    documents().exportMovie();
    ASSERT_EQ(shownDialogs.size(), 1u);
    EXPECT_EQ(shownDialogs[0].message, "The movie could not be written.");
    EXPECT_TRUE(statusText().isEmpty());
}

}  // namespace
