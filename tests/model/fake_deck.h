#pragma once
// A deck without a window: fake players on a virtual clock, a shared call log, lanes as plain
// clip vectors probed as a lane probes them.

#include <QString>
#include <algorithm>
#include <array>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "model/deck_step.h"
#include "model/lane_logic.h"
#include "model/numtext.h"

namespace enginetest {

struct VirtualClock {
    double now = 0;  // seconds
};

class FakePlayer final : public model::DeckPlayer {
  public:
    FakePlayer(std::string name, VirtualClock& clock, std::vector<std::string>& log,
               const std::map<QString, double>& files)
        : name_(std::move(name)), clock_(clock), log_(log), files_(files) {}

    double rate() const override { return playing_ && position() < duration_ ? 1.0 : 0.0; }
    double position() const override {
        if (!playing_) return position_;
        return std::min(position_ + clock_.now - startedAt_, duration_);
    }
    void setPosition(double s) override {
        log_.push_back(name_ + ".Position");
        if (!hasMovie_) return;
        position_ = s;
        startedAt_ = clock_.now;
    }
    void setVolume(int v) override { volume = v; }
    void play() override {
        // A start from the cued clip's cued second takes the prepared start over.
        const bool takesCue = cued_ && cued_ == loaded_ && cueSeconds_ == position_;
        if (!takesCue) cancelCue();
        cued_ = nullptr;
        log_.push_back(name_ + (takesCue ? ".PlayCue" : ".Play"));
        volumeAtPlay = volume;
        if (!hasMovie_) return;
        playing_ = true;
        startedAt_ = clock_.now;
    }
    void stop() override {
        log_.push_back(name_ + ".Stop");
        position_ = position();
        playing_ = false;
    }
    Load loadMovie(const model::Clip& clip) override {
        const QString& path = clip.path;
        if (pending.count(path)) {
            log_.push_back(name_ + ".Pending");
            return Load::Pending;
        }
        log_.push_back(name_ + ".Movie");
        if (cued_ != &clip) cancelCue();
        loaded_ = &clip;
        auto it = files_.find(path);
        hasMovie_ = it != files_.end();
        duration_ = hasMovie_ ? it->second : 0;
        position_ = 0;
        playing_ = false;
        moviePath = hasMovie_ ? path : QString();
        return hasMovie_ ? Load::Loaded : Load::Failed;
    }
    void route(int32_t device) override {
        log_.push_back(name_ + ".route");
        routedTo = device;
    }

    // Starts prepared ahead, logged with their clip's file: made, let go of.
    void cue(const model::Clip& clip, double seconds, int, const model::StartLock& lock, bool,
             int32_t) override {
        cueLocked_ = lock.player || lock.onClock;
        if (cued_ == &clip && cueSeconds_ == seconds) return;  // the same start: nothing changes
        cancelCue();
        log_.push_back(name_ + ".Cue " + clip.path.toStdString());
        cued_ = &clip;
        cueSeconds_ = seconds;
    }
    void cancelCue() override {
        if (!cued_) return;
        log_.push_back(name_ + ".CancelCue " + cued_->path.toStdString());
        cued_ = nullptr;
    }
    bool preparedFor(const model::Clip& clip) const override {
        return cued_ == &clip && cueLocked_;
    }

    std::set<QString> pending;  // files still being opened
    int volume = -1;            // last volume set, -1 never
    int volumeAtPlay = -1;      // the volume when play() was last called
    int32_t routedTo = -1;
    QString moviePath;

  private:
    std::string name_;
    VirtualClock& clock_;
    std::vector<std::string>& log_;
    const std::map<QString, double>& files_;
    bool hasMovie_ = false, playing_ = false;
    double duration_ = 0, position_ = 0, startedAt_ = 0;
    const model::Clip* loaded_ = nullptr;
    const model::Clip* cued_ = nullptr;
    double cueSeconds_ = 0;
    bool cueLocked_ = false;
};

// The lanes the decks play are scrolled: heads and left edges are on the lanes, the clips'
// centres on the timeline.
inline constexpr double kDeckScroll = 600;

// A clip `length` pixels long with its left edge at `left`; edit points from its left edge.
inline model::ClipRef makeClip(const QString& path, double left, double length, double start,
                               double fadeInEnd, double fadeOutStart, double stop) {
    auto c = std::make_shared<model::Clip>();
    c->path = path;
    c->centre = model::whole(left + length / 2) + kDeckScroll;
    c->lengthPx = length;
    c->inPoint = start;
    c->fadeInEnd = fadeInEnd;
    c->fadeOutStart = fadeOutStart;
    c->outPoint = stop;
    return c;
}

struct FakeDeck {
    explicit FakeDeck(const model::DeckTraits& t) : traits(t) {}

    const model::DeckTraits& traits;
    VirtualClock clock;
    std::vector<std::string> log;
    std::map<QString, double> files;  // playable files and their lengths in seconds
    FakePlayer p1{"1", clock, log, files}, p2{"2", clock, log, files};
    model::ClipRef current[2], last[2];
    std::vector<model::ClipRef> lane[2];
    double head = 0;
    double zoom = 1;
    int32_t device = 0;
    // The lanes tell the step their next clips, so it prepares them ahead.
    bool lookAhead = false;
    double headBefore = -std::numeric_limits<double>::infinity();

    model::DeckStepResult tick(double seconds = 0.01) {
        std::array<model::DeckLane, 2> lanes;
        for (int i : {0, 1}) {
            const auto over = [clips = &lane[i]](auto probe) {
                return [clips, probe](double x) { return probe(*clips, x, kDeckScroll); };
            };
            model::DeckLane& l = lanes[i];
            l = {&(i ? p2 : p1),       &current[i], &last[i],
                 over(model::lineHit), {},          over(model::nextMark)};
            if (lookAhead) l.next = over(model::nextHit);
        }
        auto r = model::deckStep(traits, lanes, head, kDeckScroll, zoom, device, headBefore);
        // As the engine does: the head where it stood before this step's move, on the timeline.
        if (lookAhead) headBefore = head + kDeckScroll;
        head = r.head;
        clock.now += seconds;
        return r;
    }
    // A clip on lane 1 or 2, its file `fileSeconds` long (0: a file that fails); its in point,
    // fade-in end, fade-out start and out point as `edits` gives them, else without fades.
    model::ClipRef add(int laneNumber, const QString& path, double left, double length,
                       double fileSeconds = 100, std::array<double, 4> edits = {}) {
        if (fileSeconds > 0) files[path] = fileSeconds;
        if (edits == std::array<double, 4>{}) edits = {0, 0, length, length};
        const auto [in, fadeInEnd, fadeOutStart, out] = edits;
        lane[laneNumber - 1].push_back(
            makeClip(path, left, length, in, fadeInEnd, fadeOutStart, out));
        return lane[laneNumber - 1].back();
    }
    int count(const std::string& call) const {
        return static_cast<int>(std::count(log.begin(), log.end(), call));
    }
};

}  // namespace enginetest
