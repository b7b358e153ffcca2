// Through a real PulseAudio server (scripts/audio-server): routing reaches the right sink, and
// the system volume is the default sink's.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QTest>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <vector>

#include "media/media.h"
#include "media/pulse_output.h"
#include "media/system_volume.h"
#include "support/audio_server.h"
#include "support/child_process.h"
#include "support/heard_sound.h"
#include "support/media_gen.h"
#include "support/null_output.h"

namespace {

// Before any PulseAudio client starts in this process. Without the private server, an address
// that leads nowhere: the tests then check the no-server behaviour and never touch the volume
// of a desktop session's server.
const bool pointed =
    testsupport::pointAtAudioServer() || (setenv("PULSE_SERVER", testsupport::kNoServer, 0), false);

// Plays a six-second sine on the device until it is 0.3 s in; false when it does not get there.
bool playSine(media::MoviePlayer& p, int32_t device = 0) {
    media::MovieRef m = media::openMovie(
        testsupport::makeMedia({testsupport::MediaKind::Mp3Cbr, 6.0, testsupport::Signal::Sine}));
    if (!m) return false;
    m->setTrackSoundOutput(1, device);
    p.setMovie(m);
    p.play();
    return QTest::qWaitFor([&] { return p.position() > 0.3; }, 10000);
}

TEST(SoundServer, PreviewRouteSoundsOnlyOnThePreviewSink) {
    VONTALIX_NEED_AUDIO_SERVER(pointed);
    media::testing::useRealOutput();
    int32_t preview = 0;
    for (const media::OutputDevice& d : media::outputDevices())
        if (d.info == "preview") preview = d.id;
    ASSERT_NE(preview, 0) << "no \"preview\" sink";
    EXPECT_TRUE(media::routeAvailable(preview));

    testsupport::SinkRecorder main("main.monitor"), prev("preview.monitor");
    ASSERT_TRUE(main.waitForFrames() && prev.waitForFrames());

    media::MoviePlayer p;
    ASSERT_TRUE(playSine(p, preview));
    EXPECT_TRUE(QTest::qWaitFor([&] { return p.position() >= 1.0; }, 10000));
    EXPECT_GT(p.rate(), 0);
    p.stop();
    // The sound queued in the server reaches the recorders; nothing must reach the main sink
    // meanwhile either.
    const std::vector<float> heard = prev.stop(0.3);
    EXPECT_GT(heard.size(), 48000u);
    EXPECT_GT(testsupport::rmsOf(heard), 0.1);  // a 0.5 sine has an RMS of 0.35
    EXPECT_LT(testsupport::rmsOf(main.stop()), 1e-4);
}

// Runs wherever the tests run, a server or not: a fresh copy of the test program is pointed at
// an address where no server answers before any sound client starts in it.
TEST(SoundServer, NoOutputDevicesWithoutAServerStillPlaysSilently) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto withoutServer = [] {
        setenv("PULSE_SERVER", testsupport::kNoServer, 1);
        media::testing::useRealOutput();
        std::vector<int32_t> reported;
        media::setUnavailableRouteHandler([&](int32_t id) { reported.push_back(id); });
        media::refreshOutputs();  // as Play does: the server is looked for again
        if (!media::outputDevices().empty() || media::routeAvailable(0)) {
            fprintf(stderr, "output devices without a server\n");
            std::exit(1);
        }
        media::MoviePlayer p;
        p.setMovie(media::openMovie(testsupport::makeMedia(
            {testsupport::MediaKind::Mp3Cbr, 1.0, testsupport::Signal::Sine})));
        p.play();
        // Keeps time on no device.
        (void)QTest::qWaitFor([&] { return p.rate() > 0 && p.position() > 0.05; }, 10000);
        const bool playing = p.rate() > 0 && p.position() > 0.05;
        if (!playing) fprintf(stderr, "rate %g position %g\n", p.rate(), p.position());
        // The default route is the one reported: the program says no sound device is available.
        const bool said = reported == std::vector<int32_t>{0};
        if (!said) fprintf(stderr, "%zu routes reported\n", reported.size());
        std::exit(playing && said ? 0 : 1);
    };
    EXPECT_EXIT(withoutServer(), ::testing::ExitedWithCode(0), "");
}

// The server's thread starting and ending, again and again, with or without a server: the
// start must not touch the running loop without its lock (the sound library then aborts, about
// once in sixty starts under AddressSanitizer).
TEST(SoundServer, ConnectionStartsAndEnds500Times) {
    for (int i = 0; i < 500; ++i) {
        media::detail::PulseOutput output;
        output.ensureConnected();
        output.shutdown();
    }
}

QStringList pactlLines(const QString& what) {
    testsupport::ChildProcess p("pactl", {"list", "short", what});
    p.waitForFinished(3000);
    return QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

// A sink loaded for one test and unloaded at will, as a headset plugged in and pulled out.
class PluggedSink {
  public:
    bool plug() {
        // A headset left behind by an earlier run that was cut short would take the name.
        for (const QString& line : pactlLines("modules"))
            if (line.contains("sink_name=vtx-headset"))
                testsupport::ChildProcess::execute("pactl",
                                                   {"unload-module", line.section('\t', 0, 0)});
        testsupport::ChildProcess p(
            "pactl",
            {"load-module", "module-null-sink", "sink_name=vtx-headset", "rate=48000", "channels=2",
             "format=float32le", "sink_properties=device.description=headset"});
        if (!p.waitForFinished(3000) || p.exitCode() != 0) return false;
        module_ = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
        return !module_.isEmpty();
    }
    void unplug() {
        if (module_.isEmpty()) return;
        testsupport::ChildProcess::execute("pactl", {"unload-module", module_});
        module_.clear();
    }
    ~PluggedSink() { unplug(); }

  private:
    QString module_;
};

// Whether a playback stream runs into the named sink.
bool streamPlaysOn(const QString& sink) {
    QString index;
    for (const QString& line : pactlLines("sinks"))
        if (line.split('\t').value(1) == sink) index = line.split('\t').value(0);
    for (const QString& line : pactlLines("sink-inputs"))
        if (!index.isEmpty() && line.split('\t').value(1) == index) return true;
    return false;
}

// Whether the program's stream is corked: resting after a while without a voice.
bool streamRests() {
    testsupport::ChildProcess p("pactl", {"--format=json", "list", "sink-inputs"});
    p.waitForFinished(3000);
    return p.readAllStandardOutput().contains("\"corked\":true");
}

bool listed(int32_t id) {
    for (const media::OutputDevice& d : media::outputDevices())
        if (d.id == id) return true;
    return false;
}

TEST(SoundServer, AHeadsetPulledOutFallsSilentAndSoundsAgainWhenBack) {
    VONTALIX_NEED_AUDIO_SERVER(pointed);
    media::testing::useRealOutput();
    std::vector<std::pair<int32_t, QString>> lost;
    media::setDeviceLostHandler([&](int32_t id, const QString& n) { lost.push_back({id, n}); });
    const int32_t headset = media::deviceIdFor("vtx-headset");
    PluggedSink sink;
    ASSERT_TRUE(sink.plug());
    ASSERT_TRUE(QTest::qWaitFor([&] { return listed(headset); }, 10000))
        << "the new device is listed";

    testsupport::SinkRecorder mainRec("main.monitor");
    ASSERT_TRUE(mainRec.waitForFrames());
    media::MoviePlayer p;
    ASSERT_TRUE(playSine(p, headset));
    sink.unplug();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !lost.empty(); }, 10000)) << "the loss is reported";
    ASSERT_EQ(lost.size(), 1u);
    EXPECT_EQ(lost[0].first, headset);
    EXPECT_EQ(lost[0].second, QStringLiteral("headset"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !listed(headset); }, 10000));
    const double at = p.position();
    EXPECT_TRUE(QTest::qWaitFor([&] { return p.position() > at + 0.1; }, 10000))
        << "the player keeps time";
    EXPECT_GT(p.rate(), 0);
    EXPECT_LT(testsupport::rmsOf(mainRec.stop()), 1e-4) << "nothing moves to the main output";

    ASSERT_TRUE(sink.plug());
    ASSERT_TRUE(QTest::qWaitFor([&] { return listed(headset); }, 10000));
    p.stop();
    media::refreshOutputs();
    p.play();
    EXPECT_TRUE(QTest::qWaitFor([&] { return p.firstSound().sounded; }, 10000));
    // The new sink's monitor records nothing for a while after it appears, so the server is
    // asked where the program's stream plays.
    EXPECT_TRUE(QTest::qWaitFor([] { return streamPlaysOn("vtx-headset"); }, 10000))
        << "the next Play sounds there again";
    p.stop();
    media::setDeviceLostHandler(nullptr);
}

TEST(SoundServer, AStreamRestingAfterStopSoundsAtOnceOnTheNextPlay) {
    VONTALIX_NEED_AUDIO_SERVER(pointed);
    media::testing::useRealOutput();
    media::MoviePlayer p;
    ASSERT_TRUE(playSine(p));
    p.stop();
    // The output rests after three quiet seconds.
    ASSERT_TRUE(QTest::qWaitFor(streamRests, 15000));
    testsupport::SinkRecorder rec("main.monitor");
    ASSERT_TRUE(rec.waitForFrames());
    p.play();
    ASSERT_TRUE(QTest::qWaitFor([&] { return p.firstSound().sounded; }, 10000));
    const media::testing::FirstSound f = p.firstSound();
    EXPECT_LT(f.queuedSeconds, 0.06);
    EXPECT_TRUE(QTest::qWaitFor([&] { return p.position() > 0.6; }, 10000));
    p.stop();
    EXPECT_GT(testsupport::rmsOf(rec.stop(0.1)), 0.1);
}

// The sound log's lines (from any thread) while one lives.
struct SoundLog {
    static inline std::mutex mutex;
    static inline QStringList lines;
    SoundLog() { QLoggingCategory::setFilterRules("vontalix.sound.debug=true"); }
    ~SoundLog() {
        qInstallMessageHandler(before);
        QLoggingCategory::setFilterRules("");
    }
    // What follows `text` in the last line holding it; empty when none does.
    QString after(const QString& text) {
        std::lock_guard lock(mutex);
        for (auto it = lines.crbegin(); it != lines.crend(); ++it)
            if (it->contains(text)) return it->section(text, 1);
        return {};
    }
    QtMessageHandler before =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& line) {
            std::lock_guard lock(mutex);
            lines << line;
        });
};

// The whole program stopped for a moment, as a starved machine stops it: the server plays the
// queue dry, the queue is made deeper, and a stream opened afterwards starts as deep.
TEST(SoundServer, AnUnderrunDeepensTheQueueForGood) {
    VONTALIX_NEED_AUDIO_SERVER(pointed);
    SoundLog log;
    auto owned = std::make_unique<media::detail::PulseOutput>();
    media::detail::PulseOutput* output = owned.get();
    media::detail::installOutputBackend(std::move(owned));
    media::MoviePlayer p;
    ASSERT_TRUE(playSine(p));
    EXPECT_EQ(testsupport::ChildProcess::execute(
                  "sh", {"-c", "kill -STOP $PPID; sleep 0.3; kill -CONT $PPID"}),
              0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !log.after(" grown: ").isEmpty(); }, 10000));
    const QString grown = log.after(" grown: ");
    p.stop();

    media::detail::DeviceRef later = output->openDevice(1, "preview", "later");
    ASSERT_TRUE(later);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !log.after("\"later\" opened: ").isEmpty(); }, 10000));
    EXPECT_EQ(log.after("\"later\" opened: "), grown);
    later.reset();
    media::testing::useRealOutput();
}

TEST(SystemVolume, SetAndGetClamped) {
    const double before = media::systemVolume();
    const std::pair<double, double> cases[] = {{0.25, 0.25}, {1.7, 1.0}, {-0.2, 0.0}, {0.8, 0.8}};
    for (auto [set, want] : cases) {
        media::setSystemVolume(set);
        EXPECT_NEAR(media::systemVolume(), want, 0.01) << set;
    }
    media::setSystemVolume(NAN);
    EXPECT_NEAR(media::systemVolume(), 0.8, 0.01);
    media::setSystemVolume(before);
}

// The default sink's volume as the server has it, 0..1 (-1 when pactl cannot tell).
double serverVolume() {
    testsupport::ChildProcess p("pactl", {"get-sink-volume", "@DEFAULT_SINK@"});
    if (!p.waitForFinished(3000) || p.exitCode() != 0) return -1;
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    const qsizetype colon = out.indexOf(':', out.indexOf("front-left"));
    if (colon < 0) return -1;
    return out.mid(colon + 1).section('/', 0, 0).trimmed().toDouble() / 65536.0;
}

void setServerVolume(const QString& percent) {
    testsupport::ChildProcess::execute("pactl", {"set-sink-volume", "@DEFAULT_SINK@", percent});
}

TEST(SystemVolume, FollowsTheServerBothWays) {
    VONTALIX_NEED_AUDIO_SERVER(pointed);
    const double before = serverVolume();
    setServerVolume("40%");
    media::SystemVolume volume;
    auto context = std::make_unique<QObject>();
    std::vector<double> heard;
    volume.onChanged(context.get(), [&](double v) { heard.push_back(v); });
    // The first answer arrives by itself and is told.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !heard.empty(); }, 5000));
    EXPECT_NEAR(heard.back(), 0.4, 0.01);
    EXPECT_NEAR(volume.value(), 0.4, 0.01);

    // Set here: known here at once, on the server soon after.
    volume.set(0.25);
    EXPECT_DOUBLE_EQ(volume.value(), 0.25);
    EXPECT_TRUE(QTest::qWaitFor([] { return std::fabs(serverVolume() - 0.25) < 0.01; }, 5000));

    // Set elsewhere: told here.
    setServerVolume("70%");
    EXPECT_TRUE(QTest::qWaitFor([&] { return std::fabs(heard.back() - 0.7) < 0.01; }, 5000));
    EXPECT_NEAR(volume.value(), 0.7, 0.01);

    // A handler whose context is gone hears nothing more.
    context.reset();
    const size_t told = heard.size();
    setServerVolume("60%");
    EXPECT_TRUE(QTest::qWaitFor([&] { return std::fabs(volume.value() - 0.6) < 0.01; }, 5000));
    QCoreApplication::processEvents();
    EXPECT_EQ(heard.size(), told);
    if (before >= 0) setServerVolume(QString::number(std::lround(before * 100)) + "%");
}

TEST(SystemVolume, WithoutAServerTheValueLivesHere) {
    media::SystemVolume volume("unix:/nonexistent/vontalix-no-server");
    QObject context;
    int told = 0;
    volume.onChanged(&context, [&](double) { ++told; });
    const std::pair<double, double> cases[] = {{0.4, 0.4}, {NAN, 0.4}, {2.0, 1.0}, {-1.0, 0.0}};
    for (auto [set, want] : cases) {
        volume.set(set);
        EXPECT_DOUBLE_EQ(volume.value(), want) << set;
    }
    QTest::qWait(200);
    EXPECT_FALSE(volume.heardFromServer());
    EXPECT_EQ(told, 0);
    EXPECT_DOUBLE_EQ(volume.value(), 0.0);
}

}  // namespace
