// Devices that come and go, on the null output: a lost device falls silent and is reported,
// nothing moves to another output, and the next Play after it is back sounds there again.
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

class DevicesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        mt::useNullOutput({kMain, kPreview});
        media::setDeviceLostHandler([this](int32_t id, const QString& name) {
            lost.push_back({id, name});
        });
        media::setUnavailableRouteHandler([this](int32_t id) { unavailable.push_back(id); });
    }
    void TearDown() override {
        media::setDeviceLostHandler(nullptr);
        media::setUnavailableRouteHandler(nullptr);
        mt::useNullOutput({kMain, kPreview});
    }
    // A player sounding a sine on the device (0 = the default).
    void play(media::MoviePlayer& p, int32_t route) {
        media::MovieRef m = media::openMovie(makeMedia({MediaKind::Mp3Cbr, 3.0, Signal::Sine}));
        ASSERT_TRUE(m);
        m->setTrackSoundOutput(1, route);
        p.setMovie(m);
        p.play();
    }
    std::vector<std::pair<int32_t, QString>> lost;
    std::vector<int32_t> unavailable;
};

struct LossCase {
    const char* name;
    QByteArray device;                  // the device routed to and lost
    bool routeToDefault;                // routed as the default device (0)
    std::vector<QByteArray> remaining;  // the system's devices after the loss
    QByteArray other;                   // a device that must stay silent ("" = none left)
};
// Test listings name the case, not the bytes of the struct.
void PrintTo(const LossCase& c, std::ostream* os) { *os << c.name; }

class DeviceLoss : public DevicesTest, public ::testing::WithParamInterface<LossCase> {};

TEST_P(DeviceLoss, FallsSilentIsReportedAndSoundsAgainAtTheNextPlay) {
    const LossCase& c = GetParam();
    const int32_t id = media::deviceIdFor(c.device);
    media::MoviePlayer p;
    play(p, c.routeToDefault ? 0 : id);
    mt::advance(kBlock * 4);
    ASSERT_GT(maxAbs(mt::captured(id)), 0.3);

    mt::setNullDevices(c.remaining);  // unplugged, or the server stopped
    ASSERT_EQ(lost.size(), 1u);
    EXPECT_EQ(lost[0].first, id);
    EXPECT_EQ(lost[0].second, QString::fromUtf8(c.device));
    const size_t heard = mt::captured(id).size();
    const double at = p.position();
    mt::advance(kBlock * 10);
    EXPECT_EQ(mt::captured(id).size(), heard) << "a lost device plays nothing";
    EXPECT_GT(p.rate(), 0) << "the deck plays on, silent";
    EXPECT_NEAR(p.position(), at + 10 * kBlock / 48000.0, 1e-9);
    if (!c.other.isEmpty()) {
        EXPECT_EQ(maxAbs(mt::captured(media::deviceIdFor(c.other))), 0.0)
            << "nothing moves to another output";
    }
    EXPECT_EQ(maxAbs(mt::captured(mt::kNowhere)), 0.0);

    // Back: the player that keeps running stays silent until it plays again.
    mt::setNullDevices({kMain, kPreview});
    mt::advance(kBlock * 4);
    EXPECT_EQ(mt::captured(id).size(), heard);
    p.stop();
    media::refreshOutputs();  // what Play and Preview do first
    mt::clearCaptured();
    p.play();
    mt::advance(kBlock * 4);
    EXPECT_GT(maxAbs(mt::captured(id)), 0.3);
    EXPECT_TRUE(unavailable.empty());
    EXPECT_EQ(lost.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Devices, DeviceLoss,
    ::testing::Values(LossCase{"PreviewUnplugged", kPreview, false, {kMain}, kMain},
                      LossCase{"DefaultUnplugged", kMain, true, {kPreview}, kPreview},
                      LossCase{"ServerStopped", kPreview, false, {}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DevicesTest, AnIdleDeviceThatGoesAwayIsNotReported) {
    media::MoviePlayer p;
    play(p, media::deviceIdFor(kPreview));
    mt::advance(kBlock * 2);
    p.stop();
    mt::advance(kBlock * 2);  // the fade-out ends
    mt::setNullDevices({kMain});
    EXPECT_TRUE(lost.empty());
}

TEST_F(DevicesTest, WithoutAnyDevicePlayReportsTheDefaultRoute) {
    mt::setNullDevices({});
    media::refreshOutputs();
    EXPECT_TRUE(media::outputDevices().empty());
    EXPECT_FALSE(media::routeAvailable(0));
    media::MoviePlayer p;
    play(p, 0);
    mt::advance(kBlock * 2);
    EXPECT_EQ(unavailable, std::vector<int32_t>{0});
    EXPECT_GT(p.rate(), 0);
}

TEST_F(DevicesTest, TheDeviceListFollowsTheSystem) {
    const std::vector<std::vector<QByteArray>> steps = {
        {kMain, kPreview}, {kMain}, {}, {"usb", kMain}, {kMain, kPreview}};
    for (const auto& ids : steps) {
        mt::setNullDevices(ids);
        std::vector<QByteArray> listed;
        for (const media::OutputDevice& d : media::outputDevices())
            listed.push_back(d.info.toUtf8());
        EXPECT_EQ(listed, ids);
        EXPECT_EQ(media::routeAvailable(0), !ids.empty());
    }
}

}  // namespace
