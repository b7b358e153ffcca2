// Players on the null output: exact samples, gains, fades and positions.
#include <gtest/gtest.h>

#include <cmath>

#include "media/media.h"
#include "support/media_gen.h"
#include "support/null_output.h"

using namespace testsupport;
namespace mt = media::testing;

namespace {

constexpr int kBlock = 480;
const QByteArray kMain = "main", kPreview = "preview";

class PlayerTest : public ::testing::Test {
  protected:
    void SetUp() override { mt::useNullOutput({kMain, kPreview}); }
    void TearDown() override {
        mt::pauseDecoding(false);
        media::setUnavailableRouteHandler(nullptr);
    }
    static int32_t mainId() { return media::deviceIdFor(kMain); }
    static int32_t previewId() { return media::deviceIdFor(kPreview); }
};

struct StartCase {
    const char* name;
    MediaKind kind;
    double position;
    double tolerance;  // AAC's decoder state after a seek differs in the last bits
};
// Test listings name the case, not the bytes of the struct.
void PrintTo(const StartCase& c, std::ostream* os) { *os << c.name; }

class StartPosition : public PlayerTest, public ::testing::WithParamInterface<StartCase> {};

TEST_P(StartPosition, PlaybackStartsAtTheExactSample) {
    const StartCase& c = GetParam();
    const QString path = makeMedia({c.kind, 3.0});
    const std::vector<float> ref = decodeAll(path);
    media::MoviePlayer p;
    p.setMovie(media::openMovie(path));
    ASSERT_TRUE(p.movie());
    p.setPosition(c.position);
    p.play();
    EXPECT_GT(p.rate(), 0);
    EXPECT_DOUBLE_EQ(p.position(), c.position);
    mt::advance(kBlock * 20);
    const std::vector<float> out = mt::captured(0);
    const size_t at = std::lround(c.position * 48000);
    ASSERT_GE(out.size(), size_t(kBlock * 20 * 2));
    // A start inside the media rises from silence over one block (no click); one at the media's
    // first sample begins at full volume, as the export does.
    for (size_t i = 0; i < kBlock * 2; ++i) {
        const double ramp = c.position > 0 ? double(i / 2 + 1) / kBlock : 1.0;
        ASSERT_NEAR(out[i], ref[at * 2 + i] * ramp, c.tolerance) << c.name << " " << i;
    }
    EXPECT_LE(maxDiff(out, kBlock, ref, at + kBlock, kBlock * 19), c.tolerance) << c.name;
    EXPECT_NEAR(p.position(), c.position + 20 * kBlock / 48000.0, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, StartPosition,
    ::testing::Values(StartCase{"mp3_zero", MediaKind::Mp3Cbr, 0.0, 1e-6},
                      StartCase{"mp3_near_start", MediaKind::Mp3Cbr, 0.0123, 1e-6},
                      StartCase{"mp3_middle", MediaKind::Mp3Cbr, 1.234567, 1e-6},
                      StartCase{"mp3_vbr_middle", MediaKind::Mp3Vbr, 2.001, 1e-6},
                      StartCase{"aac_near_start", MediaKind::M4a, 0.05, 2e-4},
                      StartCase{"aac_middle", MediaKind::M4a, 1.7654, 2e-4}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PlayerTest, VolumeChangeRampsOverOneBlock) {
    const QString path = makeMedia({MediaKind::Mp3Cbr, 2.0, Signal::Sine});
    const std::vector<float> ref = decodeAll(path);
    media::MoviePlayer p;
    p.setMovie(media::openMovie(path));
    p.play();
    mt::advance(kBlock * 4);
    p.setVolume(64);
    EXPECT_EQ(p.volume(), 64);
    mt::advance(kBlock * 4);
    const std::vector<float> out = mt::captured(0);
    EXPECT_LE(maxDiff(out, 0, ref, 0, kBlock * 4), 1e-7);
    // Over block 5 the gain falls linearly from 1 to 0.25; no step anywhere.
    for (int i = 0; i < kBlock; ++i) {
        const size_t f = kBlock * 4 + i;
        const double g = 1.0 + (0.25 - 1.0) * (i + 1) / kBlock;
        EXPECT_NEAR(out[f * 2], ref[f * 2] * g, 1e-6) << i;
    }
    for (size_t f = kBlock * 5; f < kBlock * 8; ++f)
        EXPECT_NEAR(out[f * 2], ref[f * 2] * 0.25, 1e-6);
}

TEST_F(PlayerTest, VolumeIsClamped) {
    media::MoviePlayer p;
    const std::pair<int, int> cases[] = {{-5, 0}, {0, 0}, {128, 128}, {256, 256}, {1000, 256}};
    for (auto [in, want] : cases) {
        p.setVolume(in);
        EXPECT_EQ(p.volume(), want) << in;
    }
}

TEST_F(PlayerTest, ReplacingASoundingMovieFadesItOut) {
    const QString a = makeMedia({MediaKind::Mp3Cbr, 2.0, Signal::Sine});
    const QString b = makeMedia({MediaKind::M4a, 2.0, Signal::Chirp});
    const std::vector<float> refA = decodeAll(a), refB = decodeAll(b);
    media::MoviePlayer p;
    p.setMovie(media::openMovie(a));
    p.play();
    mt::advance(kBlock * 3);
    p.setMovie(media::openMovie(b));
    EXPECT_EQ(p.rate(), 0);  // the new movie waits for play()
    p.play();
    mt::advance(kBlock * 3);
    const std::vector<float> out = mt::captured(0);
    // Block 4: the old sine falls to 0 over the block while the new movie starts at its start.
    for (int i = 0; i < kBlock; ++i) {
        const size_t f = kBlock * 3 + i;
        const double fade = 1.0 - double(i + 1) / kBlock;
        EXPECT_NEAR(out[f * 2], refA[f * 2] * fade + refB[i * 2], 2e-4) << i;
    }
    EXPECT_LE(maxDiff(out, kBlock * 4, refB, kBlock, kBlock * 2), 2e-4);
}

TEST_F(PlayerTest, StopFadesOutAndRateIsZero) {
    const QString path = makeMedia({MediaKind::Mp3Cbr, 2.0, Signal::Sine});
    media::MoviePlayer p;
    p.setMovie(media::openMovie(path));
    p.play();
    mt::advance(kBlock * 2);
    p.stop();
    EXPECT_EQ(p.rate(), 0.0);
    const double stoppedAt = p.position();
    EXPECT_NEAR(stoppedAt, 2 * kBlock / 48000.0, 1e-9);
    mt::advance(kBlock * 3);
    const std::vector<float> out = mt::captured(0);
    EXPECT_LT(std::fabs(out[(kBlock * 3 - 1) * 2]), 0.01);  // end of the fade block
    EXPECT_EQ(maxAbs(out, kBlock * 3), 0.0);
    EXPECT_EQ(p.position(), stoppedAt);
    // play() continues from there.
    p.play();
    EXPECT_EQ(p.position(), stoppedAt);
}

TEST_F(PlayerTest, EndOfMovieGivesRateZeroOnceDrained) {
    const QString path = makeMedia({MediaKind::Mp3Cbr, 0.5, Signal::Sine});
    media::MovieRef m = media::openMovie(path);
    media::MoviePlayer p;
    p.setMovie(m);
    p.setPosition(0.3);
    p.play();
    const int64_t left = m->durationFrames() - std::lround(0.3 * 48000);
    int blocks = 0;
    while (p.rate() > 0 && blocks < 200) {
        mt::advance(kBlock);
        ++blocks;
    }
    EXPECT_EQ(blocks, (left + kBlock - 1) / kBlock + (left % kBlock == 0 ? 1 : 0));
    EXPECT_EQ(p.rate(), 0.0);
    EXPECT_NEAR(p.position(), m->duration(), 1e-9);
    mt::advance(kBlock);
    EXPECT_EQ(p.rate(), 0.0);  // does not loop
}

TEST_F(PlayerTest, UnderrunKeepsRateAndHoldsPosition) {
    const QString path = makeMedia({MediaKind::Mp3Cbr, 2.0, Signal::Sine});
    const std::vector<float> ref = decodeAll(path);
    media::MoviePlayer p;
    p.setMovie(media::openMovie(path));
    mt::pauseDecoding(true);
    p.play();
    mt::advance(kBlock * 5, false);
    EXPECT_GT(p.rate(), 0);
    EXPECT_EQ(p.position(), 0.0);
    EXPECT_EQ(maxAbs(mt::captured(0)), 0.0);
    mt::pauseDecoding(false);
    mt::advance(kBlock * 2);
    const std::vector<float> out = mt::captured(0);
    EXPECT_LE(maxDiff(out, kBlock * 5, ref, 0, kBlock * 2), 1e-7);  // nothing skipped
    EXPECT_NEAR(p.position(), 2 * kBlock / 48000.0, 1e-9);
}

// A ring that runs dry in the middle of playback: silence for the missing span, rate() above 0,
// and the voice goes on where it would have been (its cursor never stopped).
TEST_F(PlayerTest, UnderrunKeepsTime) {
    const QString path = makeMedia({MediaKind::Mp3Cbr, 4.0, Signal::Sine});
    const std::vector<float> ref = decodeAll(path);
    media::MoviePlayer p;
    p.setMovie(media::openMovie(path));
    p.play();
    mt::advance(kBlock * 2);
    mt::pauseDecoding(true);
    mt::advance(kBlock * 100, false);  // more than the ring holds
    EXPECT_GT(p.rate(), 0);
    EXPECT_NEAR(p.position(), 102 * kBlock / 48000.0, 1e-9);
    mt::pauseDecoding(false);
    mt::advance(kBlock * 40);
    const std::vector<float> out = mt::captured(0);
    // Silent while the ring was dry and while it catches up; every frame heard afterwards is the
    // frame of its place (rising back in over one block), heard again well within the 40 blocks.
    EXPECT_EQ(maxAbs(out, 99 * kBlock, 3 * kBlock), 0.0);
    for (size_t i = 102 * kBlock * 2; i < 142 * kBlock * 2; ++i) {
        ASSERT_GE(out[i] * ref[i], -1e-9) << i;
        ASSERT_LE(std::fabs(out[i]), std::fabs(ref[i]) + 1e-6) << i;
    }
    EXPECT_LE(maxDiff(out, 132 * kBlock, ref, 132 * kBlock, 10 * kBlock), 1e-6);
    EXPECT_NEAR(p.position(), 142 * kBlock / 48000.0, 1e-9);
}

// A start locked to a sounding player begins at the exact frame where that player reaches the
// given second, mid-block: started at once, prepared ahead (it begins by itself; play() takes it
// over without a new start), or prepared without a lock and let go by a locked play(). Two
// players prepared and held (a stopped deck's two lanes), let go together, keep the same step:
// the second begins after its anchor's first frame, however soon that comes.
TEST_F(PlayerTest, LockedStartsBeginAtTheExactFrame) {
    const QString a = makeMedia({MediaKind::Mp3Cbr, 3.0, Signal::Sine});
    const QString b = makeMedia({MediaKind::Mp3Cbr, 2.0, Signal::Chirp});
    const std::vector<float> refA = decodeAll(a), refB = decodeAll(b);
    enum How { Play, CueLocked, CueHeld, BothHeld };
    for (How how : {Play, CueLocked, CueHeld, BothHeld}) {
        mt::clearCaptured();
        media::MoviePlayer p1, p2;
        const double at = 0.1234567;  // p1's second where p2's sound begins
        const media::MovieRef movie = media::openMovie(b);
        if (how == BothHeld) {
            p1.cue(media::openMovie(a), 0, 256, media::StartLock(), &p1);
            p2.cue(movie, 0, 256, media::StartLock(), &p2);
            p1.setMovie(p1.cuedMovie());
            p1.play();
            p2.setMovie(p2.cuedMovie());
            p2.play(p1.lockAt(at));
            mt::advance(kBlock * 23);
        } else {
            p1.setMovie(media::openMovie(a));
            p1.play();
            mt::advance(kBlock * 3);
        }
        if (how == Play) {
            p2.setMovie(movie);
            p2.play(p1.lockAt(at));
        } else if (how != BothHeld) {
            p2.cue(movie, 0, 256, how == CueLocked ? p1.lockAt(at) : media::StartLock(), &p2);
            EXPECT_TRUE(p2.cued(&p2, 0, how == CueLocked ? p1.lockAt(at) : media::StartLock()));
            EXPECT_EQ(p2.rate(), 0);
            mt::advance(kBlock * 2);
            p2.setMovie(p2.cuedMovie());
            p2.play(how == CueHeld ? p1.lockAt(at) : media::StartLock());
            EXPECT_FALSE(p2.cuedMovie());  // taken over
        }
        if (how != BothHeld) mt::advance(kBlock * 20);
        const std::vector<float> out = mt::captured(0);
        const size_t start = std::lround(at * 48000), end = out.size() / 2;
        ASSERT_GE(end, size_t(kBlock * 23));
        for (size_t f = kBlock * 3; f < end; ++f) {  // after the last case's fade-out
            const double want = refA[f * 2] + (f >= start ? refB[(f - start) * 2] : 0.0);
            ASSERT_NEAR(out[f * 2], want, 1e-6) << "case " << how << " frame " << f;
        }
        EXPECT_NEAR(p2.position(), (end - start) / 48000.0, 1e-9) << how;
    }
}

// Starts taken together (a step's two lanes) are not split by the device mixing in between,
// which would begin the first at once and the second late, its first frames skipped.
TEST_F(PlayerTest, StartsTakenTogetherStayInStep) {
    const QString a = makeMedia({MediaKind::Mp3Cbr, 1.0, Signal::Sine});
    const QString b = makeMedia({MediaKind::Mp3Cbr, 1.0, Signal::Chirp});
    const std::vector<float> refA = decodeAll(a), refB = decodeAll(b);
    media::MoviePlayer p1, p2;
    p1.setMovie(media::openMovie(a));
    p2.setMovie(media::openMovie(b));
    const size_t lead = kBlock / 2;  // p2 begins half a block after p1
    {
        const media::StartTogether together;
        p1.play();
        mt::advance(kBlock);
        p2.play(p1.lockAt(lead / 48000.0));
    }
    mt::advance(kBlock * 8);
    const int64_t first = p1.lockAt(0).begunAt;
    ASSERT_GE(first, 0);
    const std::vector<float> out = mt::captured(0);
    for (size_t f = first + lead; f < size_t(first) + lead + 4 * kBlock; ++f)
        ASSERT_NEAR(out[f * 2], refA[(f - first) * 2] + refB[(f - first - lead) * 2], 1e-6) << f;
}

// A player given its prepared start before that start's frame keeps sounding what it played
// until that frame (falling silent over the last 2 ms before it), and from the frame on only the
// new sound is heard.
TEST_F(PlayerTest, APreparedStartReplacesTheOldSoundAtItsFrame) {
    const QString a = makeMedia({MediaKind::Mp3Cbr, 3.0, Signal::Sine});
    const QString b = makeMedia({MediaKind::Mp3Cbr, 2.0, Signal::Chirp});
    const std::vector<float> refB = decodeAll(b);
    media::MoviePlayer p1, p2;
    p1.setMovie(media::openMovie(a));
    p1.setVolume(0);  // only the clock of it is needed
    p1.play();
    p2.setMovie(media::openMovie(a));
    p2.play();
    mt::advance(kBlock * 2);
    const media::MovieRef next = media::openMovie(b);
    const double at = 0.1;  // block 10
    p2.cue(next, 0, 256, p1.lockAt(at), &p2);
    p2.setMovie(p2.cuedMovie());
    p2.play();
    EXPECT_GT(p2.rate(), 0);
    mt::advance(kBlock * 14);
    const std::vector<float> out = mt::captured(0), refA = decodeAll(a);
    EXPECT_LE(maxDiff(out, kBlock * 2, refA, kBlock * 2, kBlock * 8 - 96), 1e-6);  // the old
    EXPECT_LE(maxDiff(out, kBlock * 10, refB, 0, kBlock * 5), 1e-6);               // the new alone
    EXPECT_NEAR(p2.position(), 6 * kBlock / 48000.0, 1e-9);
}

TEST_F(PlayerTest, TwoVoicesOnOneDeviceAreMixed) {
    const QString a = makeMedia({MediaKind::Mp3Cbr, 2.0, Signal::Sine});
    const QString b = makeMedia({MediaKind::Mp3Vbr, 2.0, Signal::Chirp});
    const std::vector<float> refA = decodeAll(a), refB = decodeAll(b);
    media::MoviePlayer p1, p2;
    p1.setMovie(media::openMovie(a));
    p2.setMovie(media::openMovie(b));
    p2.setVolume(128);
    p1.play();
    p2.play();
    mt::advance(kBlock * 10);
    const std::vector<float> out = mt::captured(0);
    ASSERT_EQ(out.size(), size_t(kBlock * 10 * 2));
    for (size_t i = 0; i < out.size(); ++i)
        ASSERT_NEAR(out[i], refA[i] + 0.5f * refB[i], 1e-6) << i;
}

TEST_F(PlayerTest, RoutingByDeviceId) {
    const QString path = makeMedia({MediaKind::Mp3Cbr, 2.0, Signal::Sine});
    media::MovieRef m = media::openMovie(path);
    m->setTrackSoundOutput(1, previewId());
    media::MoviePlayer p;
    p.setMovie(m);
    p.play();
    mt::advance(kBlock * 4);
    EXPECT_GT(maxAbs(mt::captured(previewId())), 0.4);
    EXPECT_EQ(maxAbs(mt::captured(mainId())), 0.0);
    EXPECT_TRUE(mt::captured(0) == mt::captured(mainId()));  // 0 is the default: main
}

TEST_F(PlayerTest, MissingRouteSoundsNowhereAndIsReported) {
    const QString path = makeMedia({MediaKind::Mp3Cbr, 2.0, Signal::Sine});
    media::MovieRef m = media::openMovie(path);
    const int32_t gone = media::deviceIdFor("unplugged");
    EXPECT_FALSE(media::routeAvailable(gone));
    EXPECT_TRUE(media::routeAvailable(previewId()));
    EXPECT_TRUE(media::routeAvailable(0));
    std::vector<int32_t> reported;
    media::setUnavailableRouteHandler([&](int32_t id) { reported.push_back(id); });
    m->setTrackSoundOutput(1, gone);
    media::MoviePlayer p, other;
    other.setMovie(media::openMovie(makeMedia({MediaKind::M4a, 2.0})));
    other.play();  // creates the main device, so silence there is measured
    other.stop();
    p.setMovie(m);
    p.play();
    mt::advance(kBlock * 6);
    EXPECT_EQ(reported, std::vector<int32_t>{gone});
    EXPECT_GT(p.rate(), 0);
    EXPECT_NEAR(p.position(), 6 * kBlock / 48000.0, 1e-9);  // keeps time
    EXPECT_EQ(maxAbs(mt::captured(mainId()), kBlock * 2), 0.0);
    EXPECT_EQ(maxAbs(mt::captured(previewId())), 0.0);
    EXPECT_GT(maxAbs(mt::captured(mt::kNowhere)), 0.4);
}

TEST_F(PlayerTest, ReroutingWhilePlayingMovesTheSoundAtItsPosition) {
    const QString path = makeMedia({MediaKind::Mp3Cbr, 2.0, Signal::Chirp});
    const std::vector<float> ref = decodeAll(path);
    media::MovieRef m = media::openMovie(path);
    media::MoviePlayer p;
    p.setMovie(m);
    p.play();
    mt::advance(kBlock * 5);
    m->setTrackSoundOutput(1, previewId());
    EXPECT_GT(p.rate(), 0);
    EXPECT_NEAR(p.position(), 5 * kBlock / 48000.0, 1e-9);
    mt::advance(kBlock * 5);
    const std::vector<float> main = mt::captured(mainId()), preview = mt::captured(previewId());
    EXPECT_EQ(maxAbs(main, kBlock * 6), 0.0);  // faded out within one block
    EXPECT_LE(maxDiff(preview, kBlock, ref, kBlock * 6, kBlock * 4), 1e-6);  // after its fade-in
    EXPECT_NEAR(p.position(), 10 * kBlock / 48000.0, 1e-9);
}

TEST_F(PlayerTest, WithoutAMovieNothingHappens) {
    media::MoviePlayer p;
    p.play();
    p.setPosition(3);
    EXPECT_EQ(p.rate(), 0.0);
    EXPECT_EQ(p.position(), 0.0);
    EXPECT_FALSE(p.movie());
}

TEST_F(PlayerTest, PositionIsClampedToTheMovie) {
    media::MovieRef m = media::openMovie(makeMedia({MediaKind::Mp3Cbr, 1.0}));
    media::MoviePlayer p;
    p.setMovie(m);
    const std::pair<double, double> cases[] = {{-1, 0}, {NAN, 0}, {0.5, 0.5}, {99, m->duration()}};
    for (auto [in, want] : cases) {
        p.setPosition(in);
        EXPECT_EQ(p.position(), want) << in;
    }
}

}  // namespace
