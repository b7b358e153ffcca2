// Through a real PulseAudio server (scripts/audio-server): routing reaches the right sink, and
// the system volume is the default sink's.
#include <gtest/gtest.h>

#include <QProcess>
#include <QTest>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "media/media.h"
#include "support/audio_server.h"
#include "support/media_gen.h"

namespace {

// Before any PulseAudio client starts in this process. Without the private server, an address
// that leads nowhere: the tests then check the no-server behaviour and never touch the volume
// of a desktop session's server.
const bool pointed =
    testsupport::pointAtAudioServer() || (setenv("PULSE_SERVER", testsupport::kNoServer, 0), false);

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
    VONTALIX_NEED_AUDIO_SERVER(pointed);
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

// Runs wherever the tests run, a server or not: a fresh copy of the test program is pointed at
// an address where no server answers before any sound client starts in it.
TEST(SoundServer, NoOutputDevicesWithoutAServerStillPlaysSilently) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto withoutServer = [] {
        setenv("PULSE_SERVER", testsupport::kNoServer, 1);
        media::testing::useRealOutput();
        if (!media::outputDevices().empty()) {
            fprintf(stderr, "output devices without a server\n");
            std::exit(1);
        }
        media::MoviePlayer p;
        p.setMovie(media::openMovie(testsupport::makeMedia(
            {testsupport::MediaKind::Mp3Cbr, 1.0, testsupport::Signal::Sine})));
        p.Play();
        QTest::qWait(200);
        // Keeps time on no device.
        const bool playing = p.Rate() > 0 && p.Position() > 0.05;
        if (!playing) fprintf(stderr, "rate %g position %g\n", p.Rate(), p.Position());
        std::exit(playing ? 0 : 1);
    };
    EXPECT_EXIT(withoutServer(), ::testing::ExitedWithCode(0), "");
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

}  // namespace
