// A voice that comes while the device still holds unplayed silence is mixed again into it: at
// the frame it would have begun at, only over silence, and only as far back as its ring reaches.
#include "media/mixer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using media::kBlockFrames;
using media::Mixer;
using media::VoiceStart;

TEST(MixerRemix, AWaitingVoiceBeginsInTheQueuedSilenceAtItsFrame) {
    constexpr int kQueued = 4 * kBlockFrames;  // rendered before the voice comes
    const struct {
        const char* name;
        VoiceStart::Kind kind;
        int64_t frame;     // for AtFrame
        int ringFrames;    // decoded when the silence is mixed again
        bool soundBefore;  // a voice sounded in the last block rendered
        int64_t from;      // the first frame the device has not played
        int64_t begunAt;   // where the voice begins (-1: not in the silence)
    } cases[] = {
        {"as soon as it can, its ring reaching back three blocks", VoiceStart::WhenReady, 0, 4000,
         false, kBlockFrames, kBlockFrames},
        {"as soon as it can, from inside a block", VoiceStart::WhenReady, 0, 4000, false,
         kBlockFrames + 100, kBlockFrames + 100},
        {"as soon as it can, its ring reaching back two blocks", VoiceStart::WhenReady, 0,
         2 * kBlockFrames + 100, false, kBlockFrames, 2 * kBlockFrames},
        {"at a frame inside the silence", VoiceStart::AtFrame, 2 * kBlockFrames + 37, 4000, false,
         kBlockFrames, 2 * kBlockFrames + 37},
        {"behind sound, never over it", VoiceStart::WhenReady, 0, 4000, true, kBlockFrames, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Mixer m;
        std::vector<float> out(kQueued * 2);
        media::Stream earlier(kBlockFrames), voice(8192);
        if (c.soundBefore) {
            const std::vector<float> block(kBlockFrames * 2, 0.25f);
            earlier.ring.write(block.data(), kBlockFrames);
            earlier.finished = true;
            m.render(out.data(), kQueued - kBlockFrames);
            m.addVoice(&earlier, 1.0f);
            m.render(out.data(), kBlockFrames);
        } else {
            m.render(out.data(), kQueued);
        }
        // Frames whose left sample says its number (from 1), the right one its negative.
        std::vector<float> media;
        for (int i = 1; i <= c.ringFrames; ++i) media.insert(media.end(), {float(i), -float(i)});
        voice.ring.write(media.data(), c.ringFrames);
        VoiceStart start;
        start.kind = c.kind;
        start.frame = c.frame;
        const int slot = m.addVoice(&voice, 1.0f, start);
        ASSERT_TRUE(m.voiceWaitsToBegin());

        const int remixed = m.remix(out.data(), c.from);
        if (c.begunAt < 0) {
            EXPECT_EQ(remixed, 0);
            EXPECT_EQ(m.slot(slot).begunAt.load(), Mixer::kNotBegun);
            continue;
        }
        EXPECT_EQ(m.slot(slot).begunAt.load(), c.begunAt);
        const int64_t firstRemixed = kQueued - remixed;
        ASSERT_GE(firstRemixed, c.from);
        ASSERT_GE(c.begunAt, firstRemixed);
        ASSERT_LT(c.begunAt, firstRemixed + kBlockFrames);
        // Silence up to the voice's frame, then its frames one after another, on into the next
        // block rendered as usual.
        const int lead = static_cast<int>(c.begunAt - firstRemixed);
        for (int i = 0; i < lead; ++i) ASSERT_EQ(out[2 * i], 0.0f) << i;
        for (int i = lead; i < remixed; ++i) ASSERT_EQ(out[2 * i], float(i - lead + 1)) << i;
        EXPECT_EQ(m.quietTailFrames(), 0);
        EXPECT_FALSE(m.voiceWaitsToBegin());
        std::vector<float> next(kBlockFrames * 2);
        m.render(next.data(), kBlockFrames);
        EXPECT_EQ(next[0], float(remixed - lead + 1));
    }
}

// A voice prepared and held keeps no device awake (a stopped deck's prepared clips would keep the
// sound thread waking a hundred times a second); let go of, or let begin, it does.
TEST(MixerHeldVoice, KeepsNoDeviceAwakeUntilReleasedOrLetGoOf) {
    for (const bool released : {true, false}) {
        SCOPED_TRACE(released ? "released" : "let go of");
        Mixer m;
        media::Stream voice(kBlockFrames);
        VoiceStart held;
        held.kind = VoiceStart::Held;
        const int slot = m.addVoice(&voice, 1.0f, held);
        EXPECT_FALSE(m.anyActive());
        if (released)
            m.release(slot, VoiceStart{});
        else
            m.slot(slot).stopRequested = true;  // it must run once more to be marked done
        EXPECT_TRUE(m.anyActive());
    }
}

// A voice with its clip's envelope is silent before the in point and after the out point (full
// on them when there is no fade, as the volume rules have it), and ramps linearly over its
// fades, to the frame: not from the block after the step that noticed.
TEST(MixerEnvelope, InAndOutPointsAndFadesFallOnTheirFrames) {
    using Gain = float (*)(int64_t m);
    const std::pair<media::Envelope, Gain> cases[] = {
        {{100, 100, 700, 700}, [](int64_t m) { return m >= 100 && m <= 700 ? 1.f : 0.f; }},
        {{100, 300, 500, 700},
         [](int64_t m) {
             if (m <= 100 || m >= 700) return 0.f;
             return m < 300 ? float(m - 100) / 200 : m <= 500 ? 1.f : float(700 - m) / 200;
         }},
    };
    for (const auto& [envelope, gain] : cases) {
        SCOPED_TRACE(envelope.fadeInEnd > envelope.in ? "fades" : "no fades");
        Mixer m;
        media::Stream voice(4096);
        voice.startSeconds = 50.0 / 48000;  // the voice begins at media frame 50
        const std::vector<float> ones(2 * kBlockFrames * 2, 1.0f);
        voice.ring.write(ones.data(), 2 * kBlockFrames);
        voice.finished = true;
        m.addVoice(&voice, 0.5f, {}, &envelope);
        std::vector<float> out(2 * kBlockFrames * 2);
        m.render(out.data(), 2 * kBlockFrames);
        for (int i = 0; i < 2 * kBlockFrames; ++i)
            ASSERT_NEAR(out[2 * i], gain(50 + i), 1e-6) << "media frame " << 50 + i;
    }
}

}  // namespace
