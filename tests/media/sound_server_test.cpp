// Through a real PulseAudio server (scripts/audio-server): routing reaches the right sink, and
// the system volume is the default sink's.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QTest>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include "media/media.h"
#include "media/system_volume.h"
#include "support/audio_server.h"
#include "support/media_gen.h"

namespace {

// Before any PulseAudio client starts in this process. Without the private server, an address
// that leads nowhere: the tests then check the no-server behaviour and never touch the volume
// of a desktop session's server.
const bool pointed = testsupport::pointAtAudioServer() ||
                     (setenv("PULSE_SERVER", "unix:/nonexistent/vontalix-no-server", 0), false);

class Recorder {
  public:
    explicit Recorder(const QString& source) {
        p_.start("parec", {"-d", source, "--format=float32le", "--rate=48000", "--channels=2",
                           "--raw", "--latency-msec=20"});
    }
    bool started() { return p_.waitForStarted(3000); }
    // Root mean square of everything recorded.
    double stopAndRms() {
        p_.terminate();
        p_.waitForFinished(3000);
        const QByteArray data = p_.readAllStandardOutput();
        const auto* f = reinterpret_cast<const float*>(data.constData());
        const qsizetype n = data.size() / 4;
        double sum = 0;
        for (qsizetype i = 0; i < n; ++i) sum += double(f[i]) * f[i];
        samples = n;
        return n ? std::sqrt(sum / n) : 0;
    }
    qsizetype samples = 0;

  private:
    QProcess p_;
};

TEST(SoundServer, PreviewRouteSoundsOnlyOnThePreviewSink) {
    if (!pointed || !testsupport::audioServerRunning())
        GTEST_SKIP() << "no private audio server; run scripts/audio-server start";
    media::testing::useRealOutput();
    int32_t preview = 0;
    for (const media::OutputDevice& d : media::outputDevices())
        if (d.info == "preview") preview = d.id;
    ASSERT_NE(preview, 0) << "no \"preview\" sink";
    EXPECT_TRUE(media::routeAvailable(preview));

    Recorder main("main.monitor"), prev("preview.monitor");
    ASSERT_TRUE(main.started());
    ASSERT_TRUE(prev.started());
    QTest::qWait(300);

    media::MovieRef m = media::openMovie(
        testsupport::makeMedia({testsupport::MediaKind::Mp3Cbr, 2.0, testsupport::Signal::Sine}));
    ASSERT_TRUE(m);
    m->setTrackSoundOutput(1, preview);
    media::MoviePlayer p;
    p.setMovie(m);
    p.Play();
    for (int i = 0; i < 30 && p.Position() < 1.0; ++i) QTest::qWait(100);
    EXPECT_GT(p.Rate(), 0);
    EXPECT_GE(p.Position(), 1.0);
    p.Stop();
    QTest::qWait(300);

    const double mainRms = main.stopAndRms(), previewRms = prev.stopAndRms();
    EXPECT_GT(prev.samples, 48000);
    EXPECT_GT(previewRms, 0.1);  // a 0.5 sine has an RMS of 0.35
    EXPECT_LT(mainRms, 1e-4);
}

TEST(SoundServer, NoOutputDevicesWithoutAServerStillPlaysSilently) {
    if (pointed && testsupport::audioServerRunning()) GTEST_SKIP() << "a server runs";
    media::testing::useRealOutput();
    media::MoviePlayer p;
    p.setMovie(media::openMovie(
        testsupport::makeMedia({testsupport::MediaKind::Mp3Cbr, 1.0, testsupport::Signal::Sine})));
    p.Play();
    QTest::qWait(200);
    EXPECT_GT(p.Rate(), 0);
    EXPECT_GT(p.Position(), 0.05);  // keeps time on no device
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
    QProcess p;
    p.start("pactl", {"get-sink-volume", "@DEFAULT_SINK@"});
    if (!p.waitForFinished(3000) || p.exitCode() != 0) return -1;
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    const qsizetype colon = out.indexOf(':', out.indexOf("front-left"));
    if (colon < 0) return -1;
    return out.mid(colon + 1).section('/', 0, 0).trimmed().toDouble() / 65536.0;
}

void setServerVolume(const QString& percent) {
    QProcess::execute("pactl", {"set-sink-volume", "@DEFAULT_SINK@", percent});
}

TEST(SystemVolume, FollowsTheServerBothWays) {
    if (!pointed || !testsupport::audioServerRunning())
        GTEST_SKIP() << "no private audio server; run scripts/audio-server start";
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
