// End to end through the private PulseAudio server (scripts/audio-server): the running window's
// timer drives the decks, and each sink's monitor shows where the sound went.
#include <QTest>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <thread>
#include <vector>

#include "media/media.h"
#include "support/app_fixture.h"
#include "support/audio_server.h"
#include "support/child_process.h"
#include "support/lane_clicks.h"
#include "support/media_gen.h"
#include "support/null_output.h"

namespace {

// Before any PulseAudio client starts in this process; without the private server an address
// that leads nowhere, so no desktop session's server is ever touched.
const bool pointed =
    testsupport::pointAtAudioServer() || (setenv("PULSE_SERVER", testsupport::kNoServer, 0), false);

class DeckServerTest : public testsupport::AppFixture {
  protected:
    void SetUp() override {
        VONTALIX_NEED_AUDIO_SERVER(pointed);
        AppFixture::SetUp();
        media::testing::useRealOutput();
        for (const media::OutputDevice& d : media::outputDevices())
            if (d.info == "preview") previewId = d.id;
    }
    void TearDown() override {
        if (!w) return;
        if (playDeck().running()) menu()->playAction->trigger();
        if (previewDeck().running()) menu()->previewAction->trigger();
        AppFixture::TearDown();
        media::testing::useNullOutput({"main", "preview"});
    }

    // Plays for a while with the window's own timer and returns the RMS of each sink's monitor.
    std::pair<double, double> playAndRecord(bool previewDeck) {
        auto toggle = [this, previewDeck] {
            previewDeck ? menu()->previewAction->trigger() : menu()->playAction->trigger();
        };
        testsupport::ChildProcess rec[2];
        const char* sinks[2] = {"main.monitor", "preview.monitor"};
        // Both record (connecting takes a moment), then the deck plays while both record at
        // least 1.2 s more, however loaded the machine is.
        const auto recorded = [&rec](qint64 bytes) {
            return QTest::qWaitFor(
                [&] { return rec[0].outputSize() >= bytes && rec[1].outputSize() >= bytes; },
                10000);
        };
        for (int i = 0; i < 2; ++i)
            rec[i].start("parec", {"-d", sinks[i], "--format=float32le", "--rate=48000",
                                   "--channels=2", "--raw", "--latency-msec=20"});
        EXPECT_TRUE(recorded(1));
        const qint64 before = std::max(rec[0].outputSize(), rec[1].outputSize());
        toggle();
        EXPECT_TRUE(recorded(before + qint64(1.2 * 48000 * 2 * 4)));
        toggle();
        QTest::qWait(300);  // the tail queued in the server
        double rms[2];
        for (int i = 0; i < 2; ++i) {
            rec[i].terminate();
            rec[i].waitForFinished(3000);
            const QByteArray data = rec[i].readAllStandardOutput();
            const auto* f = reinterpret_cast<const float*>(data.constData());
            double sum = 0;
            for (qsizetype k = 0; k < data.size() / 4; ++k) sum += double(f[k]) * f[k];
            rms[i] = data.size() >= 4 ? std::sqrt(sum / (data.size() / 4)) : 0;
        }
        return {rms[0], rms[1]};
    }

    int32_t previewId = 0;
};

TEST_F(DeckServerTest, PlayDeckSoundsOnMainAndPreviewDeckOnPreview) {
    ASSERT_NE(previewId, 0) << "no \"preview\" sink";
    const QString sine =
        testsupport::makeMedia({testsupport::MediaKind::Mp3Cbr, 4.0, testsupport::Signal::Sine});
    for (int lane : {1, 2}) {
        this->lane(lane)->addNewClip(90,
                                     {.name = "sine", .path = sine, .lengthPx = 4, .lane = lane});
    }
    decks().setPreviewDeviceId(previewId);
    decks().moveHeadTo(playDeck(), 91);
    decks().moveHeadTo(previewDeck(), 91);

    const auto [mainOfPlay, previewOfPlay] = playAndRecord(false);
    EXPECT_GT(mainOfPlay, 0.05);
    EXPECT_LT(previewOfPlay, 1e-4);

    decks().moveHeadTo(previewDeck(), 91);
    const auto [mainOfPreview, previewOfPreview] = playAndRecord(true);
    EXPECT_LT(mainOfPreview, 1e-4);
    EXPECT_GT(previewOfPreview, 0.05);
}

// Two clips placed to click together, one on each lane: lane 2's begins while lane 1's sounds,
// and on the sink each of its clicks falls within 2 ms of lane 1's.
TEST_F(DeckServerTest, ClipsOnTheTwoLanesClickTogetherOnTheSink) {
    QString problem;
    const std::vector<double> offsets = testsupport::laneOffsetsOnSink(*w, &problem);
    ASSERT_FALSE(offsets.empty()) << problem.toStdString();
    for (size_t i = 0; i < offsets.size(); ++i)
        EXPECT_LE(std::fabs(offsets[i]), 0.002)
            << "lane 2's click " << i << " is off by " << offsets[i] * 1000 << " ms";
}

// Two clips met from a gap, starting at the same second on the two lanes, each with a click at
// its first sample: with the other cores kept busy meanwhile, both first clicks reach the sink,
// together to a sample or two. Neither start may be late and skip its first milliseconds.
TEST_F(DeckServerTest, ClipsMetFromAGapStartWholeAndTogether) {
    const QString left = testsupport::makeMedia(
        {testsupport::MediaKind::Mp3Cbr, 2.0, testsupport::Signal::FirstClicksLeft});
    const QString right = testsupport::makeMedia(
        {testsupport::MediaKind::Mp3Cbr, 2.0, testsupport::Signal::FirstClicksRight});
    lane(1)->addNewClip(10, {.name = "left", .path = left, .lengthPx = 2, .lane = 1});
    lane(2)->addNewClip(10, {.name = "right", .path = right, .lengthPx = 2, .lane = 2});
    ASSERT_TRUE(media::testing::waitForClipMovies());
    decks().moveHeadTo(playDeck(), 7);  // about a second of gap steps before the clips

    std::atomic<bool> done{false};
    std::vector<std::thread> busy;
    for (unsigned i = 1; i < std::max(2u, std::thread::hardware_concurrency()); ++i)
        busy.emplace_back([&done] {
            volatile double x = 0;
            while (!done.load(std::memory_order_relaxed)) x = x + 1;
        });
    struct Join {
        std::atomic<bool>& done;
        std::vector<std::thread>& threads;
        ~Join() {
            done = true;
            for (std::thread& t : threads) t.join();
        }
    } join{done, busy};

    testsupport::ChildProcess rec(
        "parec", {"-d", "main.monitor", "--format=float32le", "--rate=48000", "--channels=2",
                  "--raw", "--latency-msec=10"});
    ASSERT_TRUE(rec.started()) << "parec did not start";
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return rec.readAllStandardOutput().size() > 9600 * 4; }, 10000))
        << "the recorder records nothing";
    menu()->playAction->trigger();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const media::MoviePlayer& p = playDeck().players[1];
            return p.rate() > 0 && p.position() > 0.3;
        },
        30000))
        << "lane 2's clip did not play";
    menu()->playAction->trigger();
    std::vector<float> sound;
    static_cast<void>(QTest::qWaitFor(
        [&] {
            const QByteArray data = rec.readAllStandardOutput();
            const auto* f = reinterpret_cast<const float*>(data.constData());
            sound.insert(sound.end(), f, f + data.size() / 4);
            return !testsupport::clickOnsets(sound, 0).empty() &&
                   !testsupport::clickOnsets(sound, 1).empty();
        },
        10000));
    rec.terminate();
    rec.waitForFinished(3000);
    const std::vector<double> lane1 = testsupport::clickOnsets(sound, 0);
    const std::vector<double> lane2 = testsupport::clickOnsets(sound, 1);
    ASSERT_FALSE(lane1.empty()) << "no click of lane 1 on the sink";
    ASSERT_FALSE(lane2.empty()) << "no click of lane 2 on the sink";
    EXPECT_LE(std::fabs(lane2.front() - lane1.front()) * 48000, 2)
        << "lane 2's first click is off by " << (lane2.front() - lane1.front()) * 1000 << " ms";
}

}  // namespace
