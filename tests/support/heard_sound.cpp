#include "support/heard_sound.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

namespace testsupport {

namespace {

constexpr int kBlock = 240;         // 5 ms
constexpr double kSameShape = 0.9;  // a block and its place in the source (noise elsewhere: ~0.07)

// A stretch of one channel of the recording heard from one clip's source.
struct Stretch {
    int clip = -1;
    int64_t recorded = 0, frames = 0, shift = 0;  // shift: recorded frame minus source frame
    int64_t source() const { return recorded - shift; }
};

std::vector<float> channelOf(const std::vector<float>& stereo, int channel) {
    std::vector<float> one(stereo.size() / 2);
    for (size_t i = 0; i < one.size(); ++i) one[i] = stereo[i * 2 + channel];
    return one;
}

// The normalized correlation of the block with the source's frames from `at` (0 outside it): its
// shape, which gains and ramps keep.
double shape(const float* block, const std::vector<float>& source, int64_t at) {
    if (at < 0 || at + kBlock > int64_t(source.size())) return 0;
    double ab = 0, aa = 0, bb = 0;
    for (int i = 0; i < kBlock; ++i) {
        ab += double(block[i]) * source[at + i];
        aa += double(block[i]) * block[i];
        bb += double(source[at + i]) * source[at + i];
    }
    return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0;
}

// Where the block recorded at `at` comes from: every place of every source, screened by the
// signs of the block's strongest samples (a gain keeps them; elsewhere half of them differ).
Stretch find(const float* block, int64_t at, const std::vector<std::vector<float>>& sources) {
    std::vector<int> strong;
    const double loud = 0.5 * rmsOf({block, kBlock});
    for (int i = 0; i < kBlock && strong.size() < 24; ++i)
        if (std::fabs(block[i]) > loud) strong.push_back(i);
    Stretch best;
    double bestShape = kSameShape;
    for (size_t k = 0; k < sources.size(); ++k)
        for (int64_t m = 0; m + kBlock <= int64_t(sources[k].size()); ++m) {
            const float* s = &sources[k][m];
            if (std::count_if(strong.begin(), strong.end(),
                              [&](int i) { return (block[i] > 0) != (s[i] > 0); }) > 3)
                continue;
            if (const double found = shape(block, sources[k], m); found > bestShape)
                best = {int(k), at, kBlock, at - m}, bestShape = found;
        }
    return best;
}

// The channel's stretches of sound in recorded order: each 5 ms block found in a source, blocks in
// line joined, each stretch reaching back frame by frame to its first. Sound found nowhere (two
// clips mixed) is left out.
std::vector<Stretch> locate(const std::vector<float>& heard,
                            const std::vector<std::vector<float>>& sources) {
    std::vector<Stretch> found;
    Stretch last;
    for (int64_t at = 0; at + kBlock <= int64_t(heard.size()); at += kBlock) {
        const float* block = &heard[at];
        if (rmsOf({block, kBlock}) < 1e-3) {
            last = {};
            continue;
        }
        // Mostly the sound goes on where the block before left off.
        if (last.clip < 0 || shape(block, sources[last.clip], at - last.shift) < kSameShape)
            last = find(block, at, sources);
        if (last.clip < 0) continue;
        Stretch* back = found.empty() ? nullptr : &found.back();
        if (back && back->clip == last.clip && back->shift == last.shift &&
            back->recorded + back->frames == at)
            back->frames += kBlock;
        else
            found.push_back({last.clip, at, kBlock, last.shift});
    }
    for (size_t n = 0; n < found.size(); ++n) {
        Stretch& s = found[n];
        const int64_t from = n ? found[n - 1].recorded + found[n - 1].frames : 0;
        const std::vector<float>& source = sources[s.clip];
        while (s.recorded > from && s.source() > 0 && heard[s.recorded - 1] != 0 &&
               (heard[s.recorded - 1] > 0) == (source[s.source() - 1] > 0))
            --s.recorded, ++s.frames;
    }
    return found;
}

}  // namespace

QString faultsHeard(const std::vector<float>& recording,
                    const std::array<std::vector<HeardClip>, 2>& lanes, int64_t startFrame) {
    QStringList faults, heardText;
    std::vector<std::pair<int64_t, QString>> origins;  // the recorded frame of the timeline's 0
    for (int lane = 0; lane < 2; ++lane) {
        const std::vector<HeardClip>& clips = lanes[lane];
        std::vector<std::vector<float>> sources;
        for (const HeardClip& c : clips) sources.push_back(channelOf(*c.source, lane));
        const std::vector<Stretch> heard = locate(channelOf(recording, lane), sources);
        std::vector<const Stretch*> before(clips.size());  // each clip's last stretch so far
        for (const Stretch& s : heard) {
            const HeardClip& clip = clips[s.clip];
            heardText << QStringLiteral("%1 %2..%3 at %4")
                             .arg(clip.name)
                             .arg(s.source())
                             .arg(s.source() + s.frames)
                             .arg(s.recorded);
            const Stretch*& last = before[s.clip];
            const int64_t first = std::max<int64_t>(0, startFrame - clip.placeFrame);
            if (!last) {
                origins.push_back({s.shift - clip.placeFrame, clip.name});
                if (std::llabs(s.source() - first) > 1)
                    faults << QStringLiteral("%1 begins at frame %2, not %3")
                                  .arg(clip.name)
                                  .arg(s.source())
                                  .arg(first);
            } else if (std::llabs(s.shift - last->shift) > 1) {
                faults << QStringLiteral(
                              "%1 heard to frame %2, then from frame %3, %4 frames later")
                              .arg(clip.name)
                              .arg(last->source() + last->frames)
                              .arg(s.source())
                              .arg(s.recorded - last->recorded - last->frames);
            }
            last = &s;
        }
        for (size_t k = 0; k < clips.size(); ++k)
            if (!before[k]) faults << clips[k].name + " never heard";
    }
    const auto [low, high] = std::minmax_element(origins.begin(), origins.end());
    if (!origins.empty() && high->first - low->first > 1)
        faults << QStringLiteral("%1 sounds %2 frames late against %3")
                      .arg(high->second)
                      .arg(high->first - low->first)
                      .arg(low->second);
    if (faults.isEmpty()) return {};
    return faults.join("; ") + " (heard: " + heardText.join(", ") + ")";
}

}  // namespace testsupport
