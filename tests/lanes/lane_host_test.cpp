// Two lanes on a bare widget, with a host that records what they ask of it: a lane works
// without the main window.
#include <gtest/gtest.h>

#include <QWidget>

#include "lanes/lane_view.h"
#include "platform/keyboard.h"
#include "support/app_fixture.h"

namespace {

struct RecordingHost : lanes::LaneHost, model::StatusLine {
    LaneView* lanes[2] = {};
    QString status;
    int hides = 0, dragFrom = 0, offsetRetakes = 0;
    int handlesTop = -1;
    const model::Clip* handlesAt = nullptr;

    LaneView* lane(int n) const { return n == 1 || n == 2 ? lanes[n - 1] : nullptr; }
    void showMessage(const QString& text) override { status = text; }
    QString text() const override { return status; }
    model::PictureRef laneBackdrop() override { return nullptr; }
    model::PictureRef clipPicture(const model::Clip&) override { return nullptr; }
    void shiftDragStarted(int fromLane) override { dragFrom = fromLane; }
    void retakePreviewStartOffsets() override { ++offsetRetakes; }
    void dragEnteredLane(LaneView&) override {}
    void dragLeftLane(LaneView&) override {}
    bool droppedOnLane(LaneView&, const platform::DragItem&) override { return false; }
    void mouseEnteredLane(int) override {}
};

class LaneHostTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testsupport::ensureApp();
        for (int n : {1, 2}) {
            auto* lane = new LaneView(&parent, n, mix, playDeck, previewDeck, host, host);
            lane->setGeometry(0, n == 1 ? 45 : 87, 800, 33);
            host.lanes[n - 1] = lane;
            QObject::connect(lane, &LaneView::handlesShown, [this](const model::Clip& c, int top) {
                host.handlesAt = &c;
                host.handlesTop = top;
            });
            QObject::connect(lane, &LaneView::handlesHidden, [this] { ++host.hides; });
        }
        playDeck.setHead(100);
    }
    void TearDown() override { platform::Keyboard::resetForTesting(); }
    model::ClipRef add(int lane, double left, const QString& name) {
        host.lane(lane)->addNewClip(
            left, {.name = name, .path = "/m/" + name + ".mp3", .lengthPx = 100, .lane = lane});
        return host.lane(lane)->clips.back();
    }

    QWidget parent;
    model::Mix mix;
    engine::Deck playDeck{model::kPlayDeck, true}, previewDeck{model::kPreviewDeck, false};
    RecordingHost host;
};

TEST_F(LaneHostTest, PressDragAndReleaseAskTheHost) {
    LaneView& lane1 = *host.lane(1);
    auto a = add(1, 200, "a");
    auto b = add(1, 400, "b");
    auto later = add(2, 500, "later");

    EXPECT_FALSE(lane1.pressAt(50, 16));  // empty lane space is the window's
    EXPECT_EQ(host.status, "");
    ASSERT_TRUE(lane1.pressAt(250, 16));
    EXPECT_EQ(host.status, "a");
    EXPECT_EQ(host.handlesAt, a.get());
    EXPECT_EQ(host.handlesTop, 45);

    // A Command drag right of the play head moves what lies right of the clip on both lanes.
    platform::Keyboard::setModifiersForTesting(Qt::ControlModifier);
    lane1.dragTo(260, 16);
    EXPECT_EQ(a->visibleCentre(mix.scrollX()), 260);
    EXPECT_EQ(b->visibleCentre(mix.scrollX()), 460);
    EXPECT_EQ(later->visibleCentre(mix.scrollX()), 560);

    // Dropped onto b, the clip goes back and the status line says why.
    platform::Keyboard::setModifiersForTesting(Qt::NoModifier);
    lane1.dragTo(400, 16);
    lane1.releaseAt(400, 16);
    EXPECT_EQ(host.status, "do not drop one track onto another");
    EXPECT_EQ(a->visibleCentre(mix.scrollX()), 250);
    EXPECT_GE(host.hides, 1);
    EXPECT_EQ(host.offsetRetakes, 1);
    EXPECT_EQ(mix.selection()->lane, 1);

    // A Control release right of the play head swaps the lanes from the clip on.
    ASSERT_TRUE(lane1.pressAt(460, 16));
    platform::Keyboard::setModifiersForTesting(Qt::MetaModifier);
    lane1.releaseAt(460, 16);
    EXPECT_EQ(b->lane, 2);
    EXPECT_EQ(later->lane, 1);
    EXPECT_EQ(a->lane, 1);
}

}  // namespace
