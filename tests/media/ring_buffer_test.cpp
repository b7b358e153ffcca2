// The frame ring between a decoder worker and the mixer: what goes in comes out in order, never
// more than it holds, across the wrap; and so with the two sides on two threads.
#include "media/ring_buffer.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

// Frames whose two samples say their own number, so order and loss show.
std::vector<float> frames(int first, int count) {
    std::vector<float> out;
    for (int i = first; i < first + count; ++i) out.insert(out.end(), {float(i), -float(i)});
    return out;
}

TEST(FrameRing, KeepsOrderAndBoundsAcrossTheWrap) {
    media::FrameRing ring(8);
    EXPECT_EQ(ring.capacity(), 8);
    EXPECT_EQ(ring.available(), 0);
    EXPECT_EQ(ring.space(), 8);

    // Each step writes w frames and reads r, checking what the ring gave back.
    const struct {
        int write, wrote, read, got, available;
    } steps[] = {
        {5, 5, 3, 3, 2},  // 0..4 in, 0..2 out
        {8, 6, 0, 0, 8},  // only six fit; the ring is full
        {1, 0, 0, 0, 8},  // a full ring takes nothing
        {0, 0, 8, 8, 0},  // everything out, across the end of the storage
        {0, 0, 4, 0, 0},  // an empty ring gives nothing
        {7, 7, 7, 7, 0},  // wraps again
    };
    int nextIn = 0, nextOut = 0;
    for (const auto& s : steps) {
        SCOPED_TRACE(nextIn);
        const std::vector<float> in = frames(nextIn, s.write);
        EXPECT_EQ(ring.write(in.data(), s.write), s.wrote);
        nextIn += s.wrote;
        std::vector<float> out(s.read * 2 + 2, 99.f);
        EXPECT_EQ(ring.read(out.data(), s.read), s.got);
        for (int i = 0; i < s.got; ++i) {
            EXPECT_EQ(out[i * 2], float(nextOut + i));
            EXPECT_EQ(out[i * 2 + 1], -float(nextOut + i));
        }
        EXPECT_EQ(out[s.got * 2], 99.f);  // nothing written past what was read
        nextOut += s.got;
        EXPECT_EQ(ring.available(), s.available);
        EXPECT_EQ(ring.space(), 8 - s.available);
    }
}

// A writer and a reader on their own threads with odd block sizes: every frame arrives once, in
// order. The ThreadSanitizer build runs this too.
TEST(FrameRing, TwoThreadsPassEveryFrameInOrder) {
    constexpr int kFrames = 2'000'000;
    media::FrameRing ring(509);
    std::thread writer([&ring] {
        int next = 0;
        std::vector<float> block;
        for (int size = 1; next < kFrames; size = size % 97 + 1) {
            const int n = std::min(size, kFrames - next);
            block = frames(next, n);
            int done = 0;
            while (done < n) {
                const int wrote = ring.write(block.data() + done * 2, n - done);
                done += wrote;
                if (wrote == 0) std::this_thread::yield();
            }
            next += n;
        }
    });
    int next = 0, wrong = 0;
    std::vector<float> out(2 * 131);
    for (int size = 131; next < kFrames; size = size % 131 + 7) {
        const int got = ring.read(out.data(), std::min(size, 131));
        for (int i = 0; i < got; ++i) {
            wrong += out[i * 2] != float(next + i) || out[i * 2 + 1] != -float(next + i);
        }
        next += got;
        if (got == 0) std::this_thread::yield();
    }
    writer.join();
    EXPECT_EQ(next, kFrames);
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(ring.available(), 0);
}

}  // namespace
