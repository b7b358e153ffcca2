// The decoder workers sleep until a ring has room: the doorbell, the ring's refill signal and
// the pool's passes.
#include "media/decode_pool.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QThread>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "media/doorbell.h"
#include "media/media.h"
#include "media/ring_buffer.h"
#include "support/media_gen.h"
#include "support/null_output.h"

namespace {

TEST(Doorbell, ARingIsNeverSleptThrough) {
    media::Doorbell bell;
    // Rung between looking and sleeping: the sleeper does not sleep.
    const uint32_t seen = bell.value();
    bell.ring();
    bell.wait(seen);

    // Rung while they sleep: every sleeper wakes.
    std::atomic<int> woken{0};
    std::vector<std::thread> sleepers;
    const uint32_t before = bell.value();
    for (int i = 0; i < 3; ++i)
        sleepers.emplace_back([&] {
            bell.wait(before);
            ++woken;
        });
    QThread::msleep(20);
    EXPECT_EQ(woken.load(), 0);
    bell.ring();
    for (auto& t : sleepers) t.join();
    EXPECT_EQ(woken.load(), 3);
}

// The sound pacer's sleep: it ends at a ring, also one that came between looking and sleeping,
// or at the deadline.
TEST(Doorbell, ATimedWaitEndsAtTheRingOrTheDeadline) {
    using namespace std::chrono_literals;
    media::Doorbell bell;
    uint32_t seen = bell.value();
    bell.ring();
    EXPECT_TRUE(bell.waitFor(seen, 1h));

    seen = bell.value();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(bell.waitFor(seen, 30ms));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 30ms);

    seen = bell.value();
    std::thread ringer([&] {
        QThread::msleep(20);
        bell.ring();
    });
    EXPECT_TRUE(bell.waitFor(seen, 1h));
    ringer.join();
}

struct RingStep {
    int write;  // frames written, then
    int read;   // frames read
    int rings;  // times the bell has rung so far
};

TEST(FrameRing, RingsOnceEachTimeItDrainsToHalf) {
    const RingStep steps[] = {
        {0, 0, 0},    // an empty ring is not a crossing
        {100, 0, 0},  // full
        {0, 40, 0},   // 40 free of 100
        {0, 10, 1},   // 50 free: half
        {0, 30, 1},   // further down: no more rings
        {80, 0, 1},   // refilled to 10 free
        {0, 50, 2},   // back through half in one read
        {0, 100, 2},  // emptied
        {0, 10, 2},   // nothing to read
    };
    media::FrameRing ring(100);
    media::Doorbell bell;
    ring.setRefillBell(&bell);
    std::vector<float> buf(200 * 2);
    const uint32_t start = bell.value();
    for (const RingStep& s : steps) {
        ring.write(buf.data(), s.write);
        ring.read(buf.data(), s.read);
        EXPECT_EQ(int(bell.value() - start), s.rings)
            << "after writing " << s.write << " and reading " << s.read;
    }
}

TEST(DecodePool, WorkersSleepWhileTheRingsAreFull) {
    namespace mt = media::testing;
    mt::useNullOutput({"main"});
    media::MoviePlayer p;
    p.setMovie(media::openMovie(testsupport::makeMedia({testsupport::MediaKind::Mp3Cbr, 10.0})));
    ASSERT_TRUE(p.movie());
    p.play();
    mt::advance(480);  // waits until the decoder has begun
    auto& pool = media::detail::DecodePool::instance();
    // Full after a few passes; then no pass at all while nothing is mixed.
    int64_t passes = -1;
    for (int i = 0; i < 200 && pool.passes() != passes; ++i) {
        passes = pool.passes();
        QThread::msleep(20);
    }
    QThread::msleep(200);
    EXPECT_EQ(pool.passes(), passes);
    // Mixing half a ring's worth wakes them, and the sound goes on without a gap.
    mt::advance(48000 / 2);
    const std::vector<float> out = mt::captured(0);
    size_t silent = 0;
    for (size_t i = 4800; i < out.size(); ++i) silent += out[i] == 0.0f;
    EXPECT_LT(silent, size_t(10));
    EXPECT_TRUE(QTest::qWaitFor([&] { return pool.passes() > passes; }, 10000));
    p.stop();
    mt::advance(480);
}

}  // namespace
