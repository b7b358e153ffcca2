#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

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

// A file cut short keeps the information tag of its whole, and damage or a file of another rate
// joined on leave frames a decoder drops or a walk cannot count: the sound a decode really gets
// decides the length, while a tag that fits its file measures it without a walk.
TEST(Movie, CutOrDamagedMp3sAreAsLongAsTheirDecode) {
    const QString cbr = makeMedia({MediaKind::Mp3Cbr, 20.0});
    const QString vbr = makeMedia({MediaKind::Mp3Vbr, 20.0});
    const QString bare = makeMedia({MediaKind::Mp3VbrNoHeader, 20.0});
    const QString vbri = withVbriTag(bare);
    ASSERT_FALSE(vbri.isEmpty());
    const auto size = [](const QString& p) { return QFile(p).size(); };
    QByteArray flipped = head(bare, size(bare));
    for (qsizetype at = 4000; at < flipped.size(); at += flipped.size() / 30) flipped[at] ^= 0x10;
    const QString damaged = writeFile("damaged.mp3", flipped);
    const QString rate44 = makeMedia({MediaKind::Mp3Cbr, 7.0, Signal::Sine, 44100});
    const QString joined =
        writeFile("joined.mp3", head(cbr, size(cbr) / 2) + head(rate44, 1 << 20));
    struct Case {
        const char* name;
        QString source;
        qint64 keep;     // bytes kept from the start
        bool unindexed;  // the tag fits, or the frames cannot be walked
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
        {"bits_flipped", damaged, size(damaged), false},
        {"joined_to_another_rate", joined, size(joined), true},
    };
    for (const Case& c : cases) {
        const QString path = truncatedCopy(c.source, c.keep, QStringLiteral("%1.mp3").arg(c.name));
        QString error;
        const media::MovieRef m = media::openMovie(path, &error);
        ASSERT_TRUE(m) << c.name << ": " << error.toStdString();
        // Looked at before a decoder of the file has it walked.
        EXPECT_EQ(m->frameIndex() == nullptr, c.unindexed) << c.name;
        const auto decoded = static_cast<int64_t>(decodeAll(path).size() / 2);
        EXPECT_NEAR(m->durationFrames(), decoded, 1152) << c.name;
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
