// Seeking: a decoder started anywhere gives exactly the frames of a decode from the start, and
// MP3 frame walking finds every frame the decoder plays.
#include <gtest/gtest.h>

#include <QFile>
#include <QThread>
#include <cmath>

#include "media/decoder.h"
#include "media/media.h"
#include "media/mp3_frames.h"
#include "support/media_gen.h"

using namespace testsupport;

namespace {

// Largest difference between what a decoder seeked to `seconds` gives and the same stretch of
// a decode from the start; -1 when the seek gives fewer frames than the reference has there.
double seekError(const QString& path, const media::Mp3FrameIndexRef& index,
                 const std::vector<float>& ref, double seconds, int frames) {
    media::AudioDecoder d;
    if (!d.open(path, 0)) return -1;
    d.setFrameIndex(index);
    if (!d.seek(seconds)) return -1;
    const size_t at = static_cast<size_t>(std::llround(seconds * 48000));
    const size_t want = std::min<size_t>(frames, ref.size() / 2 - std::min(at, ref.size() / 2));
    std::vector<float> got(want * 2);
    size_t have = 0;
    while (have < want) {
        const int n = d.read(got.data() + have * 2, static_cast<int>(want - have));
        if (n == 0) break;
        have += n;
    }
    if (have < want) return -1;
    double err = 0;
    for (size_t i = 0; i < want * 2; ++i)
        err = std::max(err, double(std::fabs(got[i] - ref[at * 2 + i])));
    return err;
}

struct SeekCase {
    const char* name;
    MediaKind kind;
    int rate;
    double tolerance;  // AAC's decoder state after a seek differs in the last bits
};
// Test listings name the case, not the bytes of the struct.
void PrintTo(const SeekCase& c, std::ostream* os) { *os << c.name; }

class SeekExact : public ::testing::TestWithParam<SeekCase> {};

TEST_P(SeekExact, EveryOffsetGivesTheFramesOfAStraightDecode) {
    const SeekCase& c = GetParam();
    const QString path = makeMedia({c.kind, 12.0, Signal::Chirp, c.rate});
    ASSERT_FALSE(path.isEmpty());
    media::MovieRef movie = media::openMovie(path);
    ASSERT_TRUE(movie);
    const bool mp3 = c.kind != MediaKind::M4a;
    // An MP3 measured from its tag gets its frame index from a worker: seeks are exact both
    // before it is ready and with it. One without a tag was walked while measuring.
    std::vector<media::Mp3FrameIndexRef> indexes = {movie->frameIndex()};
    EXPECT_EQ(indexes[0] != nullptr, c.kind == MediaKind::Mp3VbrNoHeader) << c.name;
    if (mp3 && !indexes[0]) {
        media::indexFramesLater(movie);
        for (int i = 0; i < 1000 && !movie->frameIndex(); ++i) QThread::msleep(10);
        ASSERT_TRUE(movie->frameIndex()) << c.name;
        indexes.push_back(movie->frameIndex());
    }
    const std::vector<float> ref = decodeAll(path);
    // Near the start (decoded afresh), across index strides, on odd samples, near the end (an
    // M4A's last second after a seek differs from a straight decode in its last frames).
    const double offsets[] = {0.0,
                              0.004,
                              0.25,
                              1.0,
                              3.0 + 1.0 / 48000,
                              5.123457,
                              7.77,
                              10.0,
                              movie->duration() - (mp3 ? 0.05 : 1.5)};
    for (const media::Mp3FrameIndexRef& index : indexes) {
        for (double at : offsets) {
            const double err = seekError(path, index, ref, at, 4800);
            EXPECT_GE(err, 0) << c.name << " at " << at << ": too few frames";
            EXPECT_LE(err, c.tolerance) << c.name << " at " << at;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, SeekExact,
    ::testing::Values(SeekCase{"cbr_44k", MediaKind::Mp3Cbr, 44100, 1e-6},
                      SeekCase{"cbr_48k", MediaKind::Mp3Cbr, 48000, 1e-6},
                      SeekCase{"cbr_32k", MediaKind::Mp3Cbr, 32000, 1e-6},
                      SeekCase{"cbr_22k", MediaKind::Mp3Cbr, 22050, 1e-6},
                      SeekCase{"vbr_44k", MediaKind::Mp3Vbr, 44100, 1e-6},
                      SeekCase{"vbr_48k", MediaKind::Mp3Vbr, 48000, 1e-6},
                      SeekCase{"vbr_noheader_44k", MediaKind::Mp3VbrNoHeader, 44100, 1e-6},
                      SeekCase{"vbr_noheader_48k", MediaKind::Mp3VbrNoHeader, 48000, 1e-6},
                      SeekCase{"m4a_44k", MediaKind::M4a, 44100, 2e-4},
                      SeekCase{"m4a_48k", MediaKind::M4a, 48000, 2e-4}),
    [](const auto& info) { return std::string(info.param.name); });

// The walk counts exactly the frames the decoder plays: the length a decode from the start gives
// is the frame count less the encoder's delay and padding.
TEST(Mp3FrameIndex, CountsTheFramesADecodePlays) {
    const MediaKind kinds[] = {MediaKind::Mp3Cbr, MediaKind::Mp3Vbr, MediaKind::Mp3VbrNoHeader};
    for (MediaKind kind : kinds) {
        const QString path = makeMedia({kind, 6.0, Signal::Chirp, 48000});
        media::Mp3FrameIndexRef index = media::indexMp3Frames(path);
        ASSERT_TRUE(index) << int(kind);
        EXPECT_EQ(index->rate, 48000);
        EXPECT_EQ(index->samplesPerFrame, 1152);
        EXPECT_EQ(index->hasTag, kind != MediaKind::Mp3VbrNoHeader) << int(kind);
        EXPECT_EQ(index->decodedSamples(), static_cast<int64_t>(decodeAll(path).size() / 2))
            << int(kind);
        EXPECT_EQ(index->offsets.size(),
                  size_t((index->frames + media::Mp3FrameIndex::kStride - 1) /
                         media::Mp3FrameIndex::kStride));
        EXPECT_EQ(index->end, QFile(path).size());  // ffmpeg writes no trailing tag
    }
}

QString copyWith(const QString& from, const QString& name, qint64 at, const QByteArray& insert) {
    QFile in(from);
    in.open(QIODevice::ReadOnly);
    QByteArray data = in.readAll();
    data.insert(at, insert);
    const QString path = tempDir() + "/" + name;
    QFile out(path);
    out.open(QIODevice::WriteOnly | QIODevice::Truncate);
    out.write(data);
    return path;
}

// A tag in front of the sound or a file changed after it was measured never cost the exact
// position; damage in the middle of a file costs at most the damaged frame.
TEST(Mp3FrameIndex, TagsDamageAndChangedFiles) {
    const QString clean = makeMedia({MediaKind::Mp3Vbr, 8.0, Signal::Chirp, 44100});
    QByteArray id3("ID3\x03\x00\x00\x00\x00\x02\x00", 10);  // 256 bytes of tag
    id3 += QByteArray(256, '\0');
    media::Mp3FrameIndexRef cleanIndex = media::indexMp3Frames(clean);
    ASSERT_TRUE(cleanIndex);
    const qint64 middle = cleanIndex->offsets[cleanIndex->offsets.size() / 2];  // about 4 s
    struct Case {
        const char* name;
        QString path;
        bool staleIndex;   // measured before the file changed
        double exactUpTo;  // seconds; beyond, frames must only keep coming
    } cases[] = {
        {"id3v2_in_front", copyWith(clean, "id3.mp3", 0, id3), false, 8},
        {"changed_since_measured", copyWith(clean, "changed.mp3", 0, id3), true, 8},
        {"junk_between_frames", copyWith(clean, "junk.mp3", middle, QByteArray(700, '\x11')), false,
         3.5},
    };
    for (const Case& c : cases) {
        media::Mp3FrameIndexRef index = media::indexMp3Frames(c.staleIndex ? clean : c.path);
        ASSERT_TRUE(index) << c.name;
        const std::vector<float> ref = decodeAll(c.path);
        for (double at : {1.5, 3.2, 4.9, 6.9}) {
            const double err = seekError(c.path, index, ref, at, 2400);
            EXPECT_GE(err, 0) << c.name << " at " << at;
            if (at < c.exactUpTo) {
                EXPECT_LE(err, 1e-6) << c.name << " at " << at;
            }
        }
    }
}

TEST(Mp3FrameIndex, RefusesWhatIsNoLayerThreeStream) {
    QByteArray text;
    for (int i = 0; i < 100; ++i) text += "not a frame of sound\n";
    const QString m4a = makeMedia({MediaKind::M4a, 1.0});
    const QString cases[] = {copyWith(m4a, "nothing.mp3", 0, {}).chopped(0) + ".missing",
                             copyWith(m4a, "m4a.mp3", 0, {}), copyWith({}, "text.mp3", 0, text),
                             copyWith({}, "empty.mp3", 0, {})};
    for (const QString& path : cases)
        EXPECT_FALSE(media::indexMp3Frames(path)) << path.toStdString();
}

struct HeaderCase {
    const char* name;
    uint8_t bytes[4];
    int frameBytes, rate, samples;
};

TEST(Mp3Header, ParsesLayerThreeHeadersOnly) {
    const HeaderCase cases[] = {
        {"mpeg1_128k_44k", {0xff, 0xfb, 0x90, 0x00}, 417, 44100, 1152},
        {"mpeg1_128k_44k_padded", {0xff, 0xfb, 0x92, 0x00}, 418, 44100, 1152},
        {"mpeg1_320k_48k", {0xff, 0xfb, 0xe4, 0xc0}, 960, 48000, 1152},
        {"mpeg2_64k_22k", {0xff, 0xf3, 0x80, 0x00}, 208, 22050, 576},
        {"mpeg25_8k_8k", {0xff, 0xe3, 0x18, 0x00}, 72, 8000, 576},
        {"layer2", {0xff, 0xfd, 0x90, 0x00}, 0, 0, 0},
        {"free_format", {0xff, 0xfb, 0x00, 0x00}, 0, 0, 0},
        {"bad_bitrate", {0xff, 0xfb, 0xf0, 0x00}, 0, 0, 0},
        {"reserved_rate", {0xff, 0xfb, 0x9c, 0x00}, 0, 0, 0},
        {"reserved_version", {0xff, 0xeb, 0x90, 0x00}, 0, 0, 0},
        {"no_sync", {0xfe, 0xfb, 0x90, 0x00}, 0, 0, 0},
    };
    for (const HeaderCase& c : cases) {
        const media::Mp3Header h = media::parseMp3Header(c.bytes);
        EXPECT_EQ(h.bytes, c.frameBytes) << c.name;
        if (c.frameBytes == 0) continue;
        EXPECT_EQ(h.rate, c.rate) << c.name;
        EXPECT_EQ(h.samples, c.samples) << c.name;
    }
}

TEST(Mp3Header, SyncNeedsAFollowingFrame) {
    // A lone sync in junk, then two real frames (MPEG-1, 128 kbit/s, 48 kHz: 384 bytes each).
    std::vector<uint8_t> buf(100 + 384 * 2, 0x00);
    const uint8_t frame[] = {0xff, 0xfb, 0x94, 0x00};
    std::copy(frame, frame + 4, buf.begin() + 10);  // false: no frame follows 384 bytes later
    std::copy(frame, frame + 4, buf.begin() + 100);
    std::copy(frame, frame + 4, buf.begin() + 100 + 384);
    EXPECT_EQ(media::findMp3Sync(buf.data(), int64_t(buf.size())), 100);
    media::Mp3Header other = media::parseMp3Header(frame);
    other.rate = 44100;
    EXPECT_EQ(media::findMp3Sync(buf.data(), int64_t(buf.size()), &other), -1);
    EXPECT_EQ(media::findMp3Sync(buf.data(), 3), -1);
}

}  // namespace
