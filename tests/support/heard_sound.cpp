#include "support/heard_sound.h"

#include <QStringList>
#include <algorithm>
#include <array>
#include <cmath>

namespace testsupport {

namespace {

constexpr int kBlock = 240;         // 5 ms
constexpr double kSoundRms = 1e-3;  // quieter blocks are silence
constexpr double kSameShape = 0.9;  // a block and its place in the source (noise elsewhere: ~0.07)
constexpr int kSignsTried = 24;     // per candidate place, at most
constexpr int kSignsWrong = 3;      // more, and the place is not it
constexpr int kWindow = 24;         // of a start beneath a voice fading out

std::vector<float> channelOf(const std::vector<float>& stereo, int channel) {
    std::vector<float> one(stereo.size() / 2);
    for (size_t i = 0; i < one.size(); ++i) one[i] = stereo[i * 2 + channel];
    return one;
}

double correlation(const float* a, const float* b) {
    double ab = 0, aa = 0, bb = 0;
    for (int i = 0; i < kBlock; ++i) {
        ab += double(a[i]) * b[i];
        aa += double(a[i]) * a[i];
        bb += double(b[i]) * b[i];
    }
    return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0;
}

double rms(const float* block) {
    double energy = 0;
    for (int i = 0; i < kBlock; ++i) energy += double(block[i]) * block[i];
    return std::sqrt(energy / kBlock);
}

struct Place {
    int clip = -1;
    int64_t shift = 0;  // recorded frame minus source frame
};

bool fits(const std::vector<float>& source, int64_t at) {
    return at >= 0 && at + kBlock <= static_cast<int64_t>(source.size());
}

// Where in the sources the block recorded at `at` comes from. Each place is first screened by
// the signs of the block's strongest samples (a gain keeps them; elsewhere half of them differ),
// and what passes is confirmed by correlation.
Place find(const float* block, int64_t at, const std::vector<std::vector<float>>& sources) {
    const double strong = 0.5 * rms(block);
    std::vector<int> tried;
    for (int i = 0; i < kBlock && int(tried.size()) < kSignsTried; ++i)
        if (std::fabs(block[i]) > strong) tried.push_back(i);
    Place best;
    double bestShape = kSameShape;
    for (size_t k = 0; k < sources.size(); ++k) {
        const std::vector<float>& s = sources[k];
        for (int64_t m = 0; fits(s, m); ++m) {
            int wrong = 0;
            for (int i : tried)
                if ((block[i] > 0) != (s[m + i] > 0) && ++wrong > kSignsWrong) break;
            if (wrong > kSignsWrong) continue;
            if (const double shape = correlation(block, &s[m]); shape > bestShape)
                best = {int(k), at - m}, bestShape = shape;
        }
    }
    return best;
}

// How strongly `source` sounds in a short window of the recording where another source may
// sound too, fading (its gain moving linearly): the source's gain in the least-squares fit of the
// window by the source, the other and the other times the frame, the other taken from frame
// `otherAt` on (outside it: silent).
double presence(const float* heard, const float* source, const std::vector<float>& other,
                int64_t otherAt) {
    // Frisch-Waugh: the other's two terms projected out of the heard and the source.
    std::vector<std::array<double, kWindow>> basis;
    std::array<double, kWindow> fit{}, own{};
    for (int i = 0; i < kWindow; ++i) fit[i] = heard[i], own[i] = source[i];
    for (int term = 0; term < 2; ++term) {
        std::array<double, kWindow> v{};
        for (int i = 0; i < kWindow; ++i) {
            const int64_t at = otherAt + i;
            if (at >= 0 && at < static_cast<int64_t>(other.size()))
                v[i] = other[at] * (term ? i : 1);
        }
        for (const auto& b : basis) {
            double dot = 0;
            for (int i = 0; i < kWindow; ++i) dot += v[i] * b[i];
            for (int i = 0; i < kWindow; ++i) v[i] -= dot * b[i];
        }
        double norm = 0;
        for (double x : v) norm += x * x;
        if (norm < 1e-12) continue;
        for (double& x : v) x /= std::sqrt(norm);
        basis.push_back(v);
    }
    for (const auto& b : basis)
        for (auto* w : {&fit, &own}) {
            double dot = 0;
            for (int i = 0; i < kWindow; ++i) dot += (*w)[i] * b[i];
            for (int i = 0; i < kWindow; ++i) (*w)[i] -= dot * b[i];
        }
    double cross = 0, energy = 0;
    for (int i = 0; i < kWindow; ++i) cross += fit[i] * own[i], energy += own[i] * own[i];
    return energy > 0 ? cross / energy : 0;
}

QString describe(const std::vector<HeardStretch>& heard, const std::vector<HeardClip>& clips) {
    QStringList parts;
    for (const HeardStretch& s : heard)
        parts << QStringLiteral("%1 %2..%3 at %4")
                     .arg(clips[s.clip].name)
                     .arg(s.source)
                     .arg(s.source + s.frames)
                     .arg(s.recorded);
    return parts.join(", ");
}

}  // namespace

std::vector<HeardStretch> locateHeard(const std::vector<float>& recording, int channel,
                                      const std::vector<HeardClip>& clips) {
    const std::vector<float> heard = channelOf(recording, channel);
    std::vector<std::vector<float>> sources;
    for (const HeardClip& c : clips) sources.push_back(channelOf(*c.source, channel));
    std::vector<HeardStretch> stretches;
    Place last;
    for (int64_t at = 0; fits(heard, at); at += kBlock) {
        const float* block = &heard[at];
        if (rms(block) < kSoundRms) {
            last = {};
            continue;
        }
        // Mostly the sound goes on where the block before left off.
        Place p = last;
        if (p.clip < 0 || !fits(sources[p.clip], at - p.shift) ||
            correlation(block, &sources[p.clip][at - p.shift]) < kSameShape)
            p = find(block, at, sources);
        last = p;
        if (p.clip < 0) continue;
        HeardStretch* back = stretches.empty() ? nullptr : &stretches.back();
        if (back && back->clip == p.clip && back->recorded + back->frames == at &&
            back->recorded - back->source == p.shift)
            back->frames += kBlock;
        else
            stretches.push_back({p.clip, at, kBlock, at - p.shift});
    }
    // Each stretch reaches back over what still follows its source: by short windows where the
    // stretch before it still sounds (a voice fading out over the start), then frame by frame
    // to the silence or other sound before it.
    const HeardStretch* before = nullptr;
    for (HeardStretch& s : stretches) {
        const int64_t from = before ? before->recorded + before->frames : 0;
        const std::vector<float>& source = sources[s.clip];
        while (before && s.recorded - kWindow >= from && s.source - kWindow >= 0 &&
               presence(&heard[s.recorded - kWindow], &source[s.source - kWindow],
                        sources[before->clip],
                        s.recorded - kWindow - before->recorded + before->source) > 0.5)
            s.recorded -= kWindow, s.source -= kWindow, s.frames += kWindow;
        while (s.recorded > from && s.source > 0 && heard[s.recorded - 1] != 0 &&
               (heard[s.recorded - 1] > 0) == (source[s.source - 1] > 0))
            --s.recorded, --s.source, ++s.frames;
        before = &s;
    }
    return stretches;
}

QString faultsHeard(const std::vector<float>& recording,
                    const std::array<std::vector<HeardClip>, 2>& lanes) {
    QStringList faults, heardText;
    // Per clip: the recorded frame where the timeline's 0 would sound, by its first stretch.
    std::vector<std::pair<QString, int64_t>> origins;
    for (int lane = 0; lane < 2; ++lane) {
        const std::vector<HeardClip>& clips = lanes[lane];
        const std::vector<HeardStretch> heard = locateHeard(recording, lane, clips);
        heardText << QStringLiteral("lane %1: %2").arg(lane + 1).arg(describe(heard, clips));
        for (int k = 0; k < int(clips.size()); ++k) {
            const HeardClip& clip = clips[k];
            const HeardStretch* first = nullptr;
            const HeardStretch* before = nullptr;
            for (const HeardStretch& s : heard) {
                if (s.clip != k) continue;
                if (!first) first = &s;
                if (before &&
                    std::llabs((s.recorded - s.source) - (before->recorded - before->source)) > 1) {
                    const int64_t end = before->source + before->frames;
                    faults << (s.source < end ? QStringLiteral("%1 heard again from frame %2")
                                                    .arg(clip.name)
                                                    .arg(s.source)
                               : s.source - end > s.recorded - before->recorded - before->frames
                                   ? QStringLiteral("%1 lost frames %2..%3")
                                         .arg(clip.name)
                                         .arg(end)
                                         .arg(s.source)
                                   : QStringLiteral("%1 silent within, before frame %2")
                                         .arg(clip.name)
                                         .arg(s.source));
                }
                before = &s;
            }
            if (!first) {
                faults << clip.name + " never heard";
                continue;
            }
            if (std::llabs(first->source - clip.firstFrame) > 1)
                faults << QStringLiteral("%1 begins at frame %2, not %3")
                              .arg(clip.name)
                              .arg(first->source)
                              .arg(clip.firstFrame);
            origins.push_back({clip.name, first->recorded - first->source - clip.placeFrame});
        }
    }
    const auto [low, high] = std::minmax_element(
        origins.begin(), origins.end(), [](auto& a, auto& b) { return a.second < b.second; });
    if (!origins.empty() && high->second - low->second > 1)
        faults << QStringLiteral("%1 sounds %2 frames late against %3")
                      .arg(high->first)
                      .arg(high->second - low->second)
                      .arg(low->first);
    if (faults.isEmpty()) return {};
    return faults.join("; ") + " (heard: " + heardText.join("; ") + ")";
}

}  // namespace testsupport
