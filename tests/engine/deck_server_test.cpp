// End to end through the private PulseAudio server (scripts/audio-server): the running window's
// timer drives the decks, and each sink's monitor shows where the sound went.
#include <QTest>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <optional>
#include <thread>
#include <vector>

#include "media/media.h"
#include "support/app_fixture.h"
#include "support/audio_server.h"
#include "support/child_process.h"
#include "support/heard_sound.h"
#include "support/media_gen.h"
#include "support/null_output.h"

namespace {

// Before any PulseAudio client starts in this process; without the private server an address
// that leads nowhere, so no desktop session's server is ever touched.
const bool pointed =
    testsupport::pointAtAudioServer() || (setenv("PULSE_SERVER", testsupport::kNoServer, 0), false);

// The kinds of start the end-to-end table plays.
enum class Start {
    Play,          // Play at once after the head was set
    Held,          // Play on the clips the stopped deck prepared after its head moved
    AfterStop,     // Play again after Stop
    Preview,       // the preview deck on the preview sink
    AfterRestart,  // Stop and Play after the sound server restarted under the playing deck
};
struct Placed {
    int lane;
    double left;  // seconds on the timeline (the window's zoom is 1)
    testsupport::MediaKind kind;
};
struct StartCase {
    const char* name;
    Start start;
    double head;    // where the head stands at first
    double listen;  // how far the head goes from the (last) Play before the deck stops
    std::vector<Placed> clips;
    double seconds = 2;  // of each clip
};

constexpr auto Mp3 = testsupport::MediaKind::Mp3Cbr;
constexpr auto M4a = testsupport::MediaKind::M4a;
// At the butt splice lane 2's clip ends where lane 1's begins; "over a clip" lays lane 1's second
// clip over its first. The lanes met one while the other sounds are heard together for 1.5 s: they
// must stay in step, not only begin so.
const StartCase kStartCases[] = {
    {"head on clips of both lanes", Start::Play, 10.3, 0.2, {{1, 10, M4a}, {2, 10, Mp3}}},
    {"met from a gap", Start::Play, 9.6, 0.6, {{1, 10, Mp3}, {2, 10, M4a}}},
    {"met while the other lane sounds", Start::Play, 10.3, 1.8, {{1, 10, Mp3}, {2, 10.5, M4a}}},
    {"butt splice", Start::Play, 10.8, 0.4, {{2, 9, M4a}, {1, 11, Mp3}}},
    {"over a clip", Start::Play, 10.3, 0.4, {{1, 10, Mp3}, {1, 10.5, M4a}, {2, 10, M4a}}},
    {"held after a head move", Start::Held, 10.4, 0.2, {{1, 10, Mp3}, {2, 10, M4a}}},
    {"held after Stop", Start::AfterStop, 10.1, 0.2, {{1, 10, M4a}, {2, 10, Mp3}}},
    {"preview met from a gap", Start::Preview, 9.5, 0.7, {{1, 10, M4a}, {2, 10, Mp3}}},
    // A restart on a busy machine takes seconds, and the head runs on meanwhile.
    {"after a server restart", Start::AfterRestart, 10.1, 1.0, {{1, 10, Mp3}, {2, 10, M4a}}, 20},
};

// Keeps every core but one busy while it lives.
struct BusyCores {
    BusyCores() {
        for (unsigned i = 1; i < std::max(2u, std::thread::hardware_concurrency()); ++i)
            loops.emplace_back([](std::stop_token stop) {
                volatile double x = 0;
                while (!stop.stop_requested()) x = x + 1;
            });
    }
    std::vector<std::jthread> loops;
};

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

    int32_t previewId = 0;
    std::map<QString, std::vector<float>> sources;  // decoded once for every case

    // What the listener heard wrong in the case (sound on the other deck's sink too); or why there
    // was nothing to listen to.
    QString faultsIn(const StartCase& c) {
        w = testsupport::freshWindow();
        const bool preview = c.start == Start::Preview;
        engine::Deck& deck = preview ? previewDeck() : playDeck();
        QAction* toggle = preview ? menu()->previewAction : menu()->playAction;
        decks().setPreviewDeviceId(previewId);
        std::array<std::vector<testsupport::HeardClip>, 2> heard;
        int seed = 0;
        for (const Placed& p : c.clips) {
            const QString path = testsupport::makeMedia(
                {p.kind, c.seconds,
                 p.lane == 1 ? testsupport::Signal::NoiseLeft : testsupport::Signal::NoiseRight,
                 48000, ++seed});
            const QString name = QStringLiteral("lane %1's clip at %2 s").arg(p.lane).arg(p.left);
            lane(p.lane)->addNewClip(
                p.left, {.name = name, .path = path, .lengthPx = c.seconds, .lane = p.lane});
            std::vector<float>& source = sources[path];
            if (source.empty()) source = testsupport::decodeAll(path);
            heard[p.lane - 1].push_back({name, &source, std::llround(p.left * 48000)});
        }
        if (!media::testing::waitForClipMovies()) return "the clips' movies were not opened";
        const auto headAt = [&](double x) {
            return QTest::qWaitFor([&] { return deck.head() >= x; }, 10000);
        };
        decks().moveHeadTo(deck, c.start == Start::Play ? 0 : c.head);
        if (c.start == Start::AfterStop || c.start == Start::AfterRestart) {
            toggle->trigger();
            if (!headAt(c.head + 0.3)) return "the deck did not play";
            if (c.start == Start::AfterStop) toggle->trigger();
            if (c.start == Start::AfterRestart && !restartServer())
                return "the sound server did not restart";
        }
        // A first Play's tail leaves the sink before the recording starts; a head set now is
        // held (its clips prepared) meanwhile.
        if (c.start != Start::Play && c.start != Start::Preview)
            QTest::qWait(c.start == Start::AfterStop ? 300 : 100);
        testsupport::SinkRecorder rec(preview ? "preview.monitor" : "main.monitor"),
            other(preview ? "main.monitor" : "preview.monitor");
        if (!rec.waitForFrames(4800) || !other.waitForFrames())
            return "the recorders record nothing";
        if (c.start == Start::AfterRestart) {
            toggle->trigger();  // Stop; the held clips are prepared shortly after
            QTest::qWait(100);
        }
        if (c.start == Start::Play) decks().moveHeadTo(deck, c.head);
        const double head = deck.head();
        toggle->trigger();
        const bool played = headAt(head + c.listen);
        if (deck.running()) toggle->trigger();
        const std::vector<float> recording = rec.stop(0.15);  // with the tail queued in the server
        if (!played) return "the head did not move on";
        if (const double rms = testsupport::rmsOf(other.stop()); rms > 1e-4)
            return QStringLiteral("the other sink sounds too (RMS %1)").arg(rms);
        return testsupport::faultsHeard(recording, heard, std::llround(head * 48000));
    }

    // Stops the sound server and starts it again, the event loop running meanwhile.
    static bool restartServer() {
        for (const char* command : {"stop", "start"}) {
            testsupport::ChildProcess script(VONTALIX_SOURCE_DIR "/scripts/audio-server",
                                             {command});
            if (!QTest::qWaitFor([&] { return script.waitForFinished(0); }, 30000) ||
                script.exitCode() != 0)
                return false;
        }
        return true;
    }
};

// Starts of every kind, heard on their deck's sink and nowhere else: each clip once from its first
// frame (or where the head started it), nothing repeated or lost, all clips within one frame of
// their places on the timeline. Each case quiet and with every other core busy.
TEST_F(DeckServerTest, EveryStartIsHeardOnceWholeAndInStep) {
    ASSERT_NE(previewId, 0) << "no \"preview\" sink";
    for (const bool busy : {false, true})
        for (const StartCase& c : kStartCases) {
            std::optional<BusyCores> cores;
            if (busy) cores.emplace();
            const QString faults = faultsIn(c);
            EXPECT_TRUE(faults.isEmpty())
                << c.name << (busy ? ", other cores busy: " : ", quiet: ") << faults.toStdString();
        }
}

}  // namespace
