// The listener of the end-to-end sound tests, on recordings made here: what it must let pass and
// what it must find.
#include "support/heard_sound.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using testsupport::HeardClip;

std::vector<float> noise(int channel, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> level(-0.3f, 0.3f);
    std::vector<float> stereo(48000 * 2);
    for (size_t i = channel; i < stereo.size(); i += 2) stereo[i] = level(random);
    return stereo;
}

// Frames [from, from + frames) of a source, recorded from frame `at` on at a gain that falls
// from 1 by `slope` a frame.
struct Piece {
    const std::vector<float>* source;
    int64_t from, frames, at;
    float slope = 0;
};

TEST(HeardSound, FindsRepeatsLossesLateStartsAndLanesOutOfStep) {
    const std::vector<float> a = noise(0, 1), c = noise(0, 2), b = noise(1, 3);
    // Lane 1: a at 0 s, c laid over it at 0.25 s; lane 2: b at 0 s. The recording holds the
    // timeline's 0 at its frame 4800.
    const std::array<std::vector<HeardClip>, 2> lanes{
        std::vector<HeardClip>{{"a", &a, 0, 0}, {"c", &c, 12000, 0}},
        std::vector<HeardClip>{{"b", &b, 0, 0}}};
    const Piece aFadingBeneathC{&a, 12000, 480, 16800, 1.0f / 480}, wholeC{&c, 0, 12000, 16800},
        wholeB{&b, 0, 24000, 4800};
    struct Case {
        const char* name;
        std::vector<Piece> heard;
        const char* fault;  // the first the listener finds; "" none
    };
    const Case cases[] = {
        {"whole and in step", {{&a, 0, 12000, 4800}, aFadingBeneathC, wholeC, wholeB}, ""},
        {"lane 2 a frame late",
         {{&a, 0, 12000, 4800}, aFadingBeneathC, wholeC, {&b, 0, 24000, 4801}},
         ""},
        {"lane 2 two frames late",
         {{&a, 0, 12000, 4800}, aFadingBeneathC, wholeC, {&b, 0, 24000, 4802}},
         "b sounds 2 frames late against a"},
        {"a's start heard twice",
         {{&a, 0, 720, 4800}, {&a, 0, 12000, 5520}, wholeC, wholeB},
         "a heard again from frame 0"},
        {"frames of a lost",
         {{&a, 0, 4800, 4800}, {&a, 5280, 6720, 9600}, aFadingBeneathC, wholeC, wholeB},
         "a lost frames 4800..5280"},
        {"c's first frames missing",
         {{&a, 0, 12000, 4800}, aFadingBeneathC, {&c, 960, 11040, 17760}, wholeB},
         "c begins at frame 960, not 0"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        std::vector<float> recording(48000 * 2);
        for (const Piece& p : k.heard)
            for (int64_t i = 0; i < p.frames; ++i)
                for (int ch = 0; ch < 2; ++ch)
                    recording[(p.at + i) * 2 + ch] +=
                        (*p.source)[(p.from + i) * 2 + ch] * (1 - p.slope * i);
        const QString found = testsupport::faultsHeard(recording, lanes);
        EXPECT_TRUE(*k.fault ? found.startsWith(k.fault) : found.isEmpty()) << found.toStdString();
    }
}

}  // namespace
