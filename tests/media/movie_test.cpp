#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <random>

#include "media/media.h"
#include "support/media_gen.h"

using namespace testsupport;

namespace {

struct LengthCase {
    const char* name;
    MediaKind kind;
    double seconds;
};
// Test listings name the case, not the bytes of the struct.
void PrintTo(const LengthCase& c, std::ostream* os) { *os << c.name; }

class MovieLength : public ::testing::TestWithParam<LengthCase> {};

// Duration must match what playback actually yields: the decoded sample count, to one frame.
TEST_P(MovieLength, DurationMatchesDecodedSamples) {
    const LengthCase& c = GetParam();
    const QString path = makeMedia({c.kind, c.seconds});
    ASSERT_FALSE(path.isEmpty());
    QString error;
    media::MovieRef m = media::openMovie(path, &error);
    ASSERT_TRUE(m) << error.toStdString();
    const double decoded = decodeAll(path).size() / 2.0 / 48000.0;
    EXPECT_NEAR(m->duration(), decoded, 1152.0 / 48000.0) << c.name;
    EXPECT_NEAR(m->duration(), c.seconds, 2200.0 / 48000.0) << c.name;
    EXPECT_EQ(m->path(), path);
}

INSTANTIATE_TEST_SUITE_P(Formats, MovieLength,
                         ::testing::Values(LengthCase{"cbr", MediaKind::Mp3Cbr, 3.0},
                                           LengthCase{"vbr", MediaKind::Mp3Vbr, 3.0},
                                           LengthCase{"vbr_noheader", MediaKind::Mp3VbrNoHeader,
                                                      3.0},
                                           LengthCase{"m4a", MediaKind::M4a, 3.0},
                                           LengthCase{"adts", MediaKind::Adts, 3.0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Movie, ExactLengthOfHeaderlessVbrMp3) {
    // The bit-rate estimate is far off for VBR without a header; counting frames is exact.
    const QString path = makeMedia({MediaKind::Mp3VbrNoHeader, 4.0});
    media::MovieRef m = media::openMovie(path);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->durationFrames(), static_cast<int64_t>(decodeAll(path).size() / 2));
}

// A file cut short keeps the information tag of its whole: the frames it really has decide its
// length, while a tag that fits its file measures it without a walk (the index comes later).
TEST(Movie, TruncatedMp3sAreAsLongAsTheirFrames) {
    const QString cbr = makeMedia({MediaKind::Mp3Cbr, 20.0});
    const QString vbr = makeMedia({MediaKind::Mp3Vbr, 20.0});
    const QString bare = makeMedia({MediaKind::Mp3VbrNoHeader, 20.0});
    const QString vbri = withVbriTag(bare);
    ASSERT_FALSE(vbri.isEmpty());
    const auto size = [](const QString& p) { return QFile(p).size(); };
    struct Case {
        const char* name;
        QString source;
        qint64 keep;  // bytes kept from the start
        bool tagFits;
    } cases[] = {
        {"info_cbr_whole", cbr, size(cbr), true},
        {"info_cbr_first_80KB", cbr, 80 * 1024, false},
        {"info_cbr_first_8KB", cbr, 8 * 1024, false},
        {"xing_vbr_whole", vbr, size(vbr), true},
        {"xing_vbr_40_percent", vbr, size(vbr) * 2 / 5, false},
        {"xing_vbr_last_frames_cut", vbr, size(vbr) - 1000, false},
        {"vbri_whole", vbri, size(vbri), true},
        {"vbri_half", vbri, size(vbri) / 2, false},
        {"no_tag_half", bare, size(bare) / 2, false},
    };
    for (const Case& c : cases) {
        const QString path = truncatedCopy(c.source, c.keep, QStringLiteral("%1.mp3").arg(c.name));
        QString error;
        const media::MovieRef m = media::openMovie(path, &error);
        ASSERT_TRUE(m) << c.name << ": " << error.toStdString();
        // Looked at before a decoder of the file has it walked.
        EXPECT_EQ(m->frameIndex() == nullptr, c.tagFits) << c.name;
        const auto decoded = static_cast<int64_t>(decodeAll(path).size() / 2);
        EXPECT_NEAR(m->durationFrames(), decoded, 1152) << c.name;
    }
}

// A copy of the file at src, changed by edit, named name; empty on failure.
QString damagedCopy(const QString& src, const QString& name,
                    const std::function<void(QByteArray&)>& edit) {
    QFile in(src);
    if (!in.open(QIODevice::ReadOnly)) return QString();
    QByteArray bytes = in.readAll();
    edit(bytes);
    const QString path = tempDir() + "/" + name;
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(bytes) != bytes.size())
        return QString();
    return path;
}

// Damaged MP3s are as long as a decode of them, whatever their header or their frames claim.
TEST(Movie, DamagedMp3sAreAsLongAsTheirDecode) {
    const QString bare = makeMedia({MediaKind::Mp3VbrNoHeader, 5.0});
    const QString cbr = makeMedia({MediaKind::Mp3Cbr, 5.0});
    const QString vbr = makeMedia({MediaKind::Mp3Vbr, 5.0});
    const QString cbr44 = makeMedia({MediaKind::Mp3Cbr, 7.0, Signal::Sine, 44100});
    const auto flipBits = [](unsigned seed) {
        return [seed](QByteArray& b) {
            std::mt19937 random(seed);
            for (int i = 0; i < 30; ++i) {
                const auto at = static_cast<qsizetype>(random() % b.size());
                b[at] = char(b[at] ^ (1 << (random() % 8)));
            }
        };
    };
    const auto joinedTo = [](const QString& second) {
        QFile f(second);
        const QByteArray tail = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        return [tail](QByteArray& b) { b = b.left(b.size() / 2) + tail.mid(tail.size() / 3); };
    };
    const struct {
        const char* name;
        QString source;
        std::function<void(QByteArray&)> edit;
    } cases[] = {
        {"bits_flipped_5", bare, flipBits(5)},
        {"bits_flipped_8", bare, flipBits(8)},
        // The frame count of the information tag claims days, and frames are damaged.
        {"tag_and_bits_flipped", cbr,
         [&](QByteArray& b) {
             const qsizetype tag = b.indexOf("Info");
             ASSERT_GE(tag, 0);
             b[tag + 9] = char(b[tag + 9] ^ 0x40);  // the frame count, after the flags
             flipBits(3)(b);
         }},
        {"joined_to_another_rate", cbr, joinedTo(cbr44)},
        {"joined_to_the_same_rate", vbr, joinedTo(cbr)},
        {"cut_short", cbr, [](QByteArray& b) { b.chop(b.size() / 3); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = damagedCopy(c.source, QString(c.name) + ".mp3", c.edit);
        ASSERT_FALSE(path.isEmpty());
        QString error;
        const media::MovieRef m = media::openMovie(path, &error);
        ASSERT_TRUE(m) << error.toStdString();
        const auto decoded = static_cast<int64_t>(decodeAll(path).size() / 2);
        EXPECT_NEAR(m->durationFrames(), decoded, 1152);
    }
}

// An M4A is laid whatever the boxes its container declares before the sound hold (cover art up
// to 64 MB), and one cut short is as long as the sound it still holds, not its sample table.
TEST(Movie, M4asAreAsLongAsTheirSoundWhateverTheirCover) {
    struct Case {
        const char* name;
        double seconds;
        qint64 cover;
        bool moovFirst;
        double kept;  // the share of the file's bytes kept from the start
    } cases[] = {
        {"cover_9MB_before_sound", 2.0, 9 << 20, true, 1.0},
        {"cover_64MB_before_sound", 2.0, 64 << 20, true, 1.0},
        {"cover_64MB_after_sound", 2.0, 64 << 20, false, 1.0},
        {"1s_cut_to_half", 1.0, 0, true, 0.5},
        {"3s_cut_to_80_percent", 3.0, 0, true, 0.8},
    };
    for (const Case& c : cases) {
        const QTemporaryDir dir;  // big files go with their case
        QString path = m4aWithCover(c.seconds, c.cover, c.moovFirst, dir.path());
        ASSERT_FALSE(path.isEmpty()) << c.name;
        if (c.kept < 1)
            path = truncatedCopy(path, qint64(QFile(path).size() * c.kept),
                                 QStringLiteral("%1.m4a").arg(c.name));
        QString error;
        const media::MovieRef m = media::openMovie(path, &error);
        EXPECT_TRUE(m) << c.name << ": " << error.toStdString();
        if (!m) continue;
        const auto decoded = static_cast<int64_t>(decodeAll(path).size() / 2);
        EXPECT_NEAR(m->durationFrames(), decoded, 1024) << c.name;
    }
}

TEST(Movie, TracksOfAMovieWithVideo) {
    media::MovieRef m = media::openMovie(makeMedia({MediaKind::MovWithVideo, 1.0}));
    ASSERT_TRUE(m);
    ASSERT_EQ(m->trackCount(), 2);
    QStringList types;
    for (int i = 1; i <= 2; ++i) types << m->trackMediaType(i);
    EXPECT_TRUE(types.contains("soun"));
    EXPECT_TRUE(types.contains("vide"));
    EXPECT_EQ(m->trackMediaType(0), "");
    EXPECT_EQ(m->trackMediaType(3), "");
}

TEST(Movie, TrackRoutingIsKeptPerTrack) {
    media::MovieRef m = media::openMovie(makeMedia({MediaKind::Mp3Cbr, 1.0}));
    ASSERT_TRUE(m);
    ASSERT_EQ(m->trackCount(), 1);
    EXPECT_EQ(m->trackMediaType(1), "soun");
    EXPECT_EQ(m->trackSoundOutput(1), 0);
    m->setTrackSoundOutput(1, 12345);
    EXPECT_EQ(m->trackSoundOutput(1), 12345);
    m->setTrackSoundOutput(7, 1);  // out of range: ignored
    EXPECT_EQ(m->trackSoundOutput(7), 0);
}

QString writeFile(const QString& name, const QByteArray& data) {
    const QString path = tempDir() + "/" + name;
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(data);
    return path;
}

QByteArray head(const QString& path, qint64 bytes) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.read(bytes);
}

TEST(Movie, RefusesWhatIsNotPlayable) {
    const QString mp3 = makeMedia({MediaKind::Mp3Cbr, 2.0});
    const QString m4a = makeMedia({MediaKind::M4a, 2.0});
    const QString fifo = tempDir() + "/pipe.mp3";
    ASSERT_EQ(mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    QDir(tempDir()).mkdir("folder.mp3");
    QByteArray text;
    for (int i = 0; i < 200; ++i)
        text += "This is only a text file, line " + QByteArray::number(i) + "\n";
    const QString cases[] = {
        writeFile("empty.mp3", {}),
        writeFile("text.mp3", text),
        writeFile("trunc.mp3", head(mp3, 300)),
        writeFile("trunc.m4a", head(m4a, QFile(m4a).size() / 2)),
        writeFile("noise.m4a", QByteArray(5000, '\x5a')),
        tempDir() + "/folder.mp3",
        fifo,
        tempDir() + "/missing.mp3",
    };
    for (const QString& path : cases) {
        QString error;
        EXPECT_FALSE(media::openMovie(path, &error)) << path.toStdString();
        EXPECT_FALSE(error.isEmpty()) << path.toStdString();
    }
}

// Bytes this process has read so far (page cache or disk).
qint64 bytesRead() {
    QFile io("/proc/self/io");
    io.open(QIODevice::ReadOnly);
    for (const QByteArray& line : io.readAll().split('\n'))
        if (line.startsWith("rchar:")) return line.mid(6).trimmed().toLongLong();
    return -1;
}

// A file of zeros named .mp3 holds no frame in its first megabytes: it is refused there, not
// read to its end (a big one cost gigabytes of memory).
TEST(Movie, ZerosAreRefusedAfterTheirFirstMegabytes) {
    const QString path = tempDir() + "/zeros.mp3";
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.resize(64 << 20));
    f.close();
    const qint64 before = bytesRead();
    QString error;
    EXPECT_FALSE(media::openMovie(path, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_LT(bytesRead() - before, 32 << 20);
}

TEST(Movie, MediaIsAvailable) { EXPECT_TRUE(media::mediaAvailable()); }

TEST(OutputDeviceIds, StableNonZero31Bit) {
    const QByteArray ids[] = {"", "main", "preview", "alsa_output.pci-0000_00_1f.3.analog-stereo"};
    for (const QByteArray& id : ids) {
        const int32_t h = media::deviceIdFor(id);
        EXPECT_GT(h, 0) << id.constData();
        EXPECT_EQ(h, media::deviceIdFor(id));
    }
    EXPECT_NE(media::deviceIdFor("main"), media::deviceIdFor("preview"));
}

}  // namespace
