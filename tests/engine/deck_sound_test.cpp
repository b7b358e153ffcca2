// The mix on samples: the window's decks driven tick by tick over the null output.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>
#include <cmath>
#include <iomanip>
#include <map>

#include "engine/routing.h"
#include "media/media.h"
#include "support/app_fixture.h"
#include "support/lane_clicks.h"
#include "support/media_gen.h"
#include "support/null_output.h"

namespace {

using namespace testsupport;
namespace mt = media::testing;

constexpr int kBlock = 480;  // one 10 ms tick at 48 kHz
const QByteArray kMain = "main", kPreview = "preview";

class DeckSoundTest : public AppFixture {
  protected:
    void SetUp() override {
        AppFixture::SetUp();
        mt::useNullOutput({kMain, kPreview});
        mt::clearCaptured();
    }
    void TearDown() override {
        for (engine::Deck* deck : {&playDeck(), &previewDeck()}) transport().stop(*deck);
        AppFixture::TearDown();
    }
    model::ClipRef addClip(int lane, const QString& path, double left, double length, double start,
                           double fadeInEnd, double fadeOutStart, double stop) {
        this->lane(lane)->addNewClip(left, {.name = "clip",
                                            .path = path,
                                            .lengthPx = length,
                                            .inPoint = start,
                                            .outPoint = stop,
                                            .fadeInEnd = fadeInEnd,
                                            .fadeOutStart = fadeOutStart,
                                            .lane = lane});
        // As after a drop or a playlist load: the movie is open before the head comes.
        EXPECT_TRUE(mt::waitForClipMovies());
        return this->lane(lane)->clips.back();
    }
    // Four-second MP3s of a sine and a chirp, copies of the test's own, and their samples.
    struct TwoSounds {
        QString sine, chirp;
        std::vector<float> sineSamples, chirpSamples;
    };
    static TwoSounds sineAndChirp() {
        const auto own = [](Signal signal, const QString& name) {
            const QString file = makeMedia({MediaKind::Mp3Cbr, 4.0, signal});
            return truncatedCopy(file, QFile(file).size(), name);  // whole
        };
        const QString sine = own(Signal::Sine, "own-sine.mp3");
        const QString chirp = own(Signal::Chirp, "own-chirp.mp3");
        return {sine, chirp, decodeAll(sine), decodeAll(chirp)};
    }
    // Ticks the window and renders one block after each tick; returns each lane player's
    // position at the start of every block (negative while the player did not sound).
    std::vector<std::array<double, 2>> run(int ticks, const engine::Deck& deck) {
        const media::MoviePlayer& p1 = deck.players[0];
        const media::MoviePlayer& p2 = deck.players[1];
        std::vector<std::array<double, 2>> at;
        for (int i = 0; i < ticks; ++i) {
            transport().tick();
            at.push_back({p1.rate() > 0 ? p1.position() : -1, p2.rate() > 0 ? p2.position() : -1});
            mt::advance(kBlock);
        }
        return at;
    }
};

size_t frameAt(double seconds) { return static_cast<size_t>(std::lround(seconds * 48000)); }

// Gain of each reference in one block of the output, by least squares over both channels.
std::array<double, 2> fitGains(const std::vector<float>& out, size_t block,
                               const std::vector<float>& a, size_t aFrom,
                               const std::vector<float>* b, size_t bFrom) {
    double saa = 0, sab = 0, sbb = 0, sao = 0, sbo = 0;
    for (size_t i = 0; i < kBlock * 2; ++i) {
        const double o = out[block * kBlock * 2 + i], x = a[aFrom * 2 + i];
        const double y = b ? (*b)[bFrom * 2 + i] : 0.0;
        saa += x * x, sab += x * y, sbb += y * y, sao += x * o, sbo += y * o;
    }
    if (!b) return {sao / saa, 0};
    const double det = saa * sbb - sab * sab;
    return {(sao * sbb - sbo * sab) / det, (sbo * saa - sao * sab) / det};
}

TEST_F(DeckSoundTest, OverlappingClipsCrossFadeEachByItsOwnPosition) {
    const auto [sine, chirp, refA, refB] = sineAndChirp();
    // Lane 1 (0..4 s) fades out from 1 s to 3 s; lane 2 (1..5 s) fades in over 0.5..2.5 s of
    // its own file. Lane 2 starts about a second after lane 1, so its clip time lags by that.
    addClip(1, sine, 0, 4, 0, 0, 1, 3);
    addClip(2, chirp, 1, 4, 0.5, 2.5, 4, 4);
    decks().moveHeadTo(playDeck(), 0.5);
    menu()->playAction->trigger();
    const auto at = run(340, playDeck());

    const std::vector<float> out = mt::captured(0);
    ASSERT_GE(out.size(), at.size() * kBlock * 2);
    auto gainA = [](double t) { return t <= 1 ? 1.0 : t < 3 ? (3 - t) / 2 : 0.0; };
    auto gainB = [](double t) { return t <= 0.5 ? 0.0 : t < 2.5 ? (t - 0.5) / 2 : 1.0; };
    int checked = 0, bothSounding = 0;
    for (size_t k = 1; k < at.size(); ++k) {
        const auto [t1, t2] = at[k];
        ASSERT_GE(t1, 0) << "lane 1 sounds throughout, block " << k;
        const auto g = fitGains(out, k, refA, frameAt(t1), t2 >= 0 ? &refB : nullptr,
                                t2 >= 0 ? frameAt(t2) : 0);
        EXPECT_NEAR(g[0], gainA(t1), 0.02) << "block " << k << " t1 " << t1;
        if (t2 >= 0) {
            EXPECT_NEAR(g[1], gainB(t2), 0.02) << "block " << k << " t2 " << t2;
            EXPECT_GT(t1 - t2, 0.9);
            ++bothSounding;
        }
        ++checked;
    }
    EXPECT_GT(bothSounding, 200);
    EXPECT_EQ(checked, 339);
}

// Lane 1 plays three clips back to back, lane 2 two clips that each begin while lane 1 sounds,
// all placed so that their clicks fall together; played tick by tick, every clip's clicks sound
// where the exported movie has them (to within a millisecond), on both lanes.
TEST_F(DeckSoundTest, PlaybackPlacesEveryClipWhereTheExportDoes) {
    const testsupport::PlayedAndExported mix = testsupport::playAndExportClickMix(*w);
    ASSERT_TRUE(mix.problem.isEmpty()) << mix.problem.toStdString();
    ASSERT_EQ(mix.exported[0].size(), 24u);
    ASSERT_EQ(mix.exported[1].size(), 16u);
    for (int lane = 0; lane < 2; ++lane) {
        ASSERT_EQ(mix.played[lane].size(), mix.exported[lane].size()) << "lane " << lane + 1;
        for (size_t i = 0; i < mix.exported[lane].size(); ++i)
            EXPECT_NEAR(mix.played[lane][i], mix.exported[lane][i], 0.001)
                << "lane " << lane + 1 << " click " << i;
    }
}

// Open Folder overlaps each file with the one before by the transition, so a file shorter than
// two transitions lets the next clip of its lane start inside the clip before it. The play deck
// goes through such a mix to its end once: its head never moves back, and no part of a clip's
// media sounds twice (a clip met again after another covered it goes on where the head stands).
TEST_F(DeckSoundTest, AFolderMixOfShortFilesPlaysThroughOnce) {
    const QString longFile = makeMedia({MediaKind::Mp3Cbr, 20.0, Signal::Sine});
    const QString shortFile = makeMedia({MediaKind::Mp3Cbr, 2.0, Signal::Sine});
    const QString folder = tempDir() + "/short-files-mix";
    ASSERT_TRUE(QDir().mkpath(folder));
    const std::pair<const char*, QString> files[] = {{"01_long.mp3", longFile},
                                                     {"02_short.mp3", shortFile},
                                                     {"03_short.mp3", shortFile},
                                                     {"04_long.mp3", longFile}};
    for (const auto& [name, from] : files) {
        QFile::remove(folder + "/" + name);
        ASSERT_TRUE(QFile::copy(from, folder + "/" + name));
    }
    mix().setDefaultTransition(3);
    folders = {folder};
    menu()->openFolderAction->trigger();
    ASSERT_EQ(lane(1)->clips.size() + lane(2)->clips.size(), 4u);
    ASSERT_TRUE(mt::waitForClipMovies());
    // Each short clip overlaps its neighbours by half its length, 1 s, not by the transition.
    const double end = 51;  // 10 + 20 + 2 + 2 + 20 - 3 * 1

    decks().moveHeadTo(playDeck(), 9);
    menu()->playAction->trigger();
    std::map<const model::Clip*, double> furthest;  // of each clip's media, in seconds
    std::array<std::vector<QString>, 2> started;    // the clips each lane sounded, in turn
    double head = playDeckView()->headX();
    for (int tick = 0; tick < 5000 && head < end + 1; ++tick) {
        transport().tick();
        ASSERT_GT(playDeckView()->headX(), head - 0.05)
            << "the head moved back from " << std::setprecision(9) << head << " to "
            << playDeckView()->headX();
        head = playDeckView()->headX();
        for (int lane = 0; lane < 2; ++lane) {
            const model::ClipRef& clip = playDeck().current[lane];
            const media::MoviePlayer& player = playDeck().players[lane];
            if (!clip || !(player.rate() > 0)) continue;
            if (started[lane].empty() || started[lane].back() != clip->name)
                started[lane].push_back(clip->name);
            const auto [at, first] = furthest.try_emplace(clip.get(), player.position());
            ASSERT_GT(player.position(), at->second - 0.05)
                << clip->name.toStdString() << " sounds again from " << player.position();
            at->second = std::max(at->second, player.position());
        }
        mt::advance(kBlock);
    }
    EXPECT_GE(head, end);
    // Every clip sounds once, in name order, each after the one before it on its lane.
    EXPECT_EQ(started[0], (std::vector<QString>{"01_long.mp3", "03_short.mp3"}));
    EXPECT_EQ(started[1], (std::vector<QString>{"02_short.mp3", "04_long.mp3"}));
    for (const auto& [clip, seconds] : furthest) {
        if (clip->lengthPx == 20) {
            EXPECT_GT(seconds, 19.9) << clip->name.toStdString();
        }
    }
}

TEST_F(DeckSoundTest, SilentBeforeTheInPointAndAfterTheOutPoint) {
    const QString sine = makeMedia({MediaKind::Mp3Cbr, 4.0, Signal::Sine});
    addClip(1, sine, 0, 4, 1, 1, 2, 2);
    decks().moveHeadTo(playDeck(), 0.01);
    menu()->playAction->trigger();
    const auto at = run(280, playDeck());
    const std::vector<float> out = mt::captured(0);
    for (size_t k = 0; k < at.size(); ++k) {
        const double t = at[k][0];
        ASSERT_GE(t, 0);
        const double peak = maxAbs(out, k * kBlock, kBlock);
        // Each tick sets the volume for the block after it; a block is silent when its start
        // and the previous block's start lie outside the clip's span.
        const double prev = k > 0 ? at[k - 1][0] : t;
        if (t < 1 || (prev > 2 && t > 2)) {
            EXPECT_EQ(peak, 0.0) << "block " << k << " at " << t;
        } else if (prev > 1 && t < 2) {
            EXPECT_GT(peak, 0.4) << "block " << k << " at " << t;
        }
    }
}

TEST_F(DeckSoundTest, PreviewDeckSoundsOnlyOnThePreviewDevice) {
    const QString sine = makeMedia({MediaKind::Mp3Cbr, 2.0, Signal::Sine});
    const QString chirp = makeMedia({MediaKind::Mp3Cbr, 2.0, Signal::Chirp});
    const std::vector<float> refPreview = decodeAll(chirp);
    // The mix plays lane 1 on the main device while the preview plays lane 2 elsewhere.
    addClip(1, sine, 50, 2, 0, 0, 2, 2);
    addClip(2, chirp, 200, 2, 0, 0, 2, 2);
    decks().setPreviewDeviceId(media::deviceIdFor(kPreview));
    decks().moveHeadTo(playDeck(), 51);
    decks().moveHeadTo(previewDeck(), 200.5);
    menu()->playAction->trigger();
    menu()->previewAction->trigger();
    run(50, previewDeck());

    const std::vector<float> main = mt::captured(media::deviceIdFor(kMain));
    const std::vector<float> preview = mt::captured(media::deviceIdFor(kPreview));
    // Everything the preview device got is the preview clip from its offset, at full volume
    // once it has faded in.
    EXPECT_LE(maxDiff(preview, kBlock, refPreview, frameAt(0.5) + kBlock, 49 * kBlock), 1e-6);
    // The main device carries the sine alone: nothing of the chirp leaks there.
    EXPECT_LE(maxDiff(main, kBlock, decodeAll(sine), frameAt(1) + kBlock, 49 * kBlock), 1e-6);
    EXPECT_EQ(engine::playerOutput(previewDeck().players[1]), media::deviceIdFor(kPreview));
    EXPECT_EQ(engine::playerOutput(playDeck().players[0]), 0);
}

// A click on a clip of the other lane while the preview plays restarts the preview's clip from
// the head: the old sound fades out and the new one fades in, with no step between two samples
// steeper than the sines' own.
TEST_F(DeckSoundTest, RestartingThePreviewFadesOutAndIn) {
    const QString sine = makeMedia({MediaKind::Mp3Cbr, 4.0, Signal::Sine});
    addClip(1, sine, 100, 4, 0, 0, 4, 4);
    addClip(2, sine, 300, 4, 0, 0, 4, 4);
    decks().setPreviewDeviceId(media::deviceIdFor(kPreview));
    decks().moveHeadTo(previewDeck(), 100.5);
    menu()->previewAction->trigger();
    run(30, previewDeck());
    // What releasing the mouse on the lane-2 clip does to the preview deck.
    previewDeck().current[0] = previewDeck().last[0] = nullptr;
    decks().setStartOffsets(previewDeck(), previewDeckView()->headX());
    run(30, previewDeck());
    const std::vector<float> out = mt::captured(media::deviceIdFor(kPreview));
    ASSERT_GE(out.size(), size_t(60 * kBlock * 2));
    double steepest = 0;
    for (size_t i = 2; i < out.size(); ++i)
        steepest = std::max(steepest, double(std::fabs(out[i] - out[i - 2])));
    EXPECT_LT(steepest, 0.06);  // a 0.5 sine at 660 Hz moves at most 0.043 per sample
}

TEST_F(DeckSoundTest, ATickFiredInsideATickReturnsAtOnce) {
    const QString sine = makeMedia({MediaKind::Mp3Cbr, 2.0, Signal::Sine});
    addClip(2, sine, 300, 2, 0, 0, 2, 2);
    decks().setPreviewDeviceId(12345);  // no such device: the player reports it while starting
    int nested = 0;
    media::setUnavailableRouteHandler([&](int32_t) {
        // As if the report opened a dialog whose event loop let the timer fire.
        ++nested;
        transport().tick();
    });
    decks().moveHeadTo(playDeck(), 700);
    decks().moveHeadTo(previewDeck(), 300.5);
    playDeck().setRunning(true);       // over nothing: every tick makes exactly one gap step
    menu()->previewAction->trigger();  // its first step runs at once
    media::setUnavailableRouteHandler(nullptr);
    EXPECT_EQ(nested, 1);
    EXPECT_DOUBLE_EQ(playDeckView()->headX(), 700 + 1 / 35.0);
}

}  // namespace

namespace {

// A stopped deck keeps what Play will start ready, as a player paused at the spot: shortly after
// its head comes to rest, the clips under it are decoded and held, so the very first block after
// Play sounds both lanes from the head, in step, even with the decoders held up from then on;
// stopped, it prepares them again. A held start whose file changed since it was decoded is not
// what Play sounds: the file is read as it is now (here cut to nothing: silence, not the old
// sound).
TEST_F(DeckSoundTest, AStoppedDeckHasWhatPlayStartsReady) {
    const auto [sine, chirp, refA, refB] = sineAndChirp();
    addClip(1, sine, 0, 4, 0, 0, 4, 4);
    addClip(2, chirp, 0.5, 4, 0, 0, 4, 4);
    decks().moveHeadTo(playDeck(), 1.0);  // 1 s into the sine, 0.5 s into the chirp
    const auto& players = playDeck().players;
    ASSERT_TRUE(QTest::qWaitFor([&] { return players[0].cuedMovie() && players[1].cuedMovie(); }));
    QTest::qWait(200);  // their rings fill
    mt::pauseDecoding(true);
    struct Resume {
        ~Resume() { mt::pauseDecoding(false); }
    } resume;
    menu()->playAction->trigger();
    transport().tick();
    mt::advance(3 * kBlock, false);
    EXPECT_FALSE(players[0].cuedMovie() || players[1].cuedMovie());  // taken over
    const std::vector<float> out = mt::captured(0);
    ASSERT_EQ(out.size(), 3u * kBlock * 2);
    EXPECT_GT(maxAbs(out, 0, kBlock), 0.1);  // sounding from the first block (fading in)
    for (size_t f = kBlock; f < 3 * kBlock; ++f)
        ASSERT_NEAR(out[f * 2], refA[(frameAt(1.0) + f) * 2] + refB[(frameAt(0.5) + f) * 2], 1e-6)
            << f;
    // Stopped again, where the head now stands.
    mt::pauseDecoding(false);
    menu()->playAction->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return players[0].cuedMovie() && players[1].cuedMovie(); }));
    QTest::qWait(200);
    for (const QString& file : {sine, chirp}) QFile(file).resize(0);
    mt::advance(kBlock);  // the sound stopped fades out
    mt::clearCaptured();
    menu()->playAction->trigger();
    run(20, playDeck());
    EXPECT_EQ(maxAbs(mt::captured(0), 0, 20 * kBlock), 0.0);
}

TEST_F(DeckSoundTest, APreviewOnAMissingDeviceIsSilentAndSaysSo) {
    const QString sine = makeMedia({MediaKind::Mp3Cbr, 2.0, Signal::Sine});
    addClip(2, sine, 200, 2, 0, 0, 2, 2);
    decks().setPreviewDeviceId(0x1234567);  // no such device
    decks().moveHeadTo(previewDeck(), 200.5);
    menu()->previewAction->trigger();
    run(20, previewDeck());
    QApplication::processEvents();
    EXPECT_EQ(statusText(), "The preview sound device is not available: the preview is silent.");
    // Nothing reached either real device.
    for (const QByteArray& device : {kMain, kPreview})
        EXPECT_EQ(maxAbs(mt::captured(media::deviceIdFor(device))), 0.0) << device.constData();
}

// What the status line says when sound has nowhere to go: no device at all, or the device of a
// deck that goes away while it plays (the deck plays on silently; the next Play sounds again).
struct DeviceMessageCase {
    const char* name;
    bool previewDeck;
    std::vector<QByteArray> atPlay;   // the system's devices when the deck starts
    std::vector<QByteArray> whileOn;  // ... and after a few ticks ("" = unchanged)
    const char* message;
};
// Test listings name the case, not the bytes of the struct.
void PrintTo(const DeviceMessageCase& c, std::ostream* os) { *os << c.name; }

class DeviceMessages : public DeckSoundTest,
                       public ::testing::WithParamInterface<DeviceMessageCase> {};

TEST_P(DeviceMessages, StatusLineSaysWhereTheSoundWent) {
    const DeviceMessageCase& c = GetParam();
    addClip(1, makeMedia({MediaKind::Mp3Cbr, 2.0, Signal::Sine}), 100, 2, 0, 0, 2, 2);
    decks().setPreviewDeviceId(media::deviceIdFor(kPreview));
    mt::setNullDevices(c.atPlay);
    decks().moveHeadTo(playDeck(), 100.5);
    decks().moveHeadTo(previewDeck(), 100.5);
    const engine::Deck& deck = c.previewDeck ? previewDeck() : playDeck();
    c.previewDeck ? menu()->previewAction->trigger() : menu()->playAction->trigger();
    run(3, deck);
    if (c.whileOn != c.atPlay) mt::setNullDevices(c.whileOn);
    run(3, deck);
    EXPECT_EQ(statusText(), QString::fromUtf8(c.message));
    const media::MoviePlayer& p = deck.players[0];
    EXPECT_GT(p.rate(), 0) << "the deck plays on";

    // Everything back: the next Play sounds on the deck's own device, though the stopped deck
    // prepared its clip before the device came back (where nothing is heard).
    c.previewDeck ? menu()->previewAction->trigger() : menu()->playAction->trigger();
    QTest::qWait(100);
    mt::setNullDevices({kMain, kPreview});
    mt::clearCaptured();
    c.previewDeck ? menu()->previewAction->trigger() : menu()->playAction->trigger();
    run(4, deck);
    const QByteArray own = c.previewDeck ? kPreview : kMain;
    const QByteArray other = c.previewDeck ? kMain : kPreview;
    EXPECT_GT(maxAbs(mt::captured(media::deviceIdFor(own)), 0, 4 * kBlock), 0.3);
    EXPECT_EQ(maxAbs(mt::captured(media::deviceIdFor(other)), 0, 4 * kBlock), 0.0);
    EXPECT_EQ(statusText(), "") << "the sound is back";
}

const char* const kNoDevice = "No sound device is available: nothing can be heard.";
const char* const kMainGone =
    "The sound device \"main\" went away: it stays silent until it is back and you play again.";
const char* const kPreviewGone =
    "The sound device \"preview\" went away: it stays silent until it is back and you play again.";
INSTANTIATE_TEST_SUITE_P(
    Devices, DeviceMessages,
    ::testing::Values(
        DeviceMessageCase{"PlayWithoutAnyDevice", false, {}, {}, kNoDevice},
        DeviceMessageCase{"PreviewWithoutAnyDevice", true, {}, {}, kNoDevice},
        DeviceMessageCase{"PreviewDeviceUnplugged", true, {kMain, kPreview}, {kMain}, kPreviewGone},
        DeviceMessageCase{"MainDeviceUnplugged", false, {kMain, kPreview}, {kPreview}, kMainGone},
        DeviceMessageCase{"ServerStopsDuringPlay", false, {kMain, kPreview}, {}, kMainGone}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
