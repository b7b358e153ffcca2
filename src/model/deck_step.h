#pragma once
// One step of a deck (the play deck or the preview deck), as plain logic over an abstract
// player, so it runs and is tested without a window. Both decks use the same step; what
// differs between them is the DeckTraits table.

#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <limits>

#include "model/clip.h"

namespace model {

class DeckPlayer;

// A start placed in step with a sounding player: it begins when `player` reaches `seconds` of
// its movie, to the sample, so the lanes click together. With nothing sounding it may be placed
// on the output's own sample clock instead (`onClock`): it begins when that clock
// (DeckPlayer::outputClock) reaches `seconds`. Neither: at once.
struct StartLock {
    const DeckPlayer* player = nullptr;
    double seconds = 0;
    bool onClock = false;
};

// What a deck needs of a lane's movie player.
class DeckPlayer {
  public:
    virtual ~DeckPlayer() = default;
    // 0 exactly when stopped, without a movie, or played out; > 0 right after play().
    virtual double rate() const = 0;
    virtual double position() const = 0;  // seconds into the movie
    virtual void setPosition(double seconds) = 0;
    virtual void setVolume(int volume) = 0;  // 0..256
    // Between the steps, the sound follows the clip's in and out points and fades at every
    // frame, as the volume rules give them, so none waits for the step after it.
    virtual void followFades(const Clip& /*clip*/) {}
    virtual void play() = 0;
    virtual void stop() = 0;
    enum class Load { Loaded, Pending, Failed };
    // Gives the player the clip's movie, opened beforehand off the user-interface thread; never
    // opens a file. Pending while it is still being opened (the player is left as it was);
    // Failed when the file is missing or does not open as a movie (the player is left without
    // one, silent).
    virtual Load loadMovie(const Clip& clip) = 0;
    // Sends the sound tracks of the player's movie to an output device.
    virtual void route(int32_t device) = 0;

    // Seconds of the sample clock of the output this lane sounds on; negative without one.
    virtual double outputClock() const { return -1; }
    // The next play() begins in step with the lock (taken now, before the player changes).
    virtual void lockNextStart(const StartLock&) {}
    // Prepares the clip's start ahead of the head, beside what plays now: its movie sought to
    // `seconds` and its first sound decoded, at `volume` and following the clip's fades, on
    // `device` when `routed`. With a lock
    // it begins there by itself; without, it waits for the step that starts the clip, which then
    // loads and plays the prepared start. A repeated call with the same start changes nothing.
    virtual void cue(const Clip& /*clip*/, double /*seconds*/, int /*volume*/,
                     const StartLock& /*lock*/, bool /*routed*/, int32_t /*device*/) {}
    virtual void cancelCue() {}
    // Whether the clip's start is prepared and locked: it then replaces what the player sounds
    // at its own frame, so the player is not stopped before it.
    virtual bool preparedFor(const Clip& /*clip*/) const { return false; }
};

// How the two decks differ.
struct DeckTraits {
    double Clip::*startOffset;            // where a clip starts, from its left edge
    std::array<bool, 2> stopBeforeStart;  // per lane: stop the player before loading a clip
    bool routed;                          // send the sound to the preview device
    double gapDivisor;                    // head step without a sounding clip: zoom / this
    bool labelsWhereverTheyStand;         // write time labels also while parked off the window
};

// The play deck leaves lane 1 playing while it loads the next clip; the preview deck stops the
// lane's player first and sounds on its own device, and its head crosses gaps faster.
inline constexpr DeckTraits kPlayDeck{&Clip::playStart, {false, true}, false, 35.0, false};
inline constexpr DeckTraits kPreviewDeck{&Clip::previewStart, {true, true}, true, 10.0, true};

// One lane of a deck: its player, the clip now loaded in it (cleared once the player stops) and
// the clip started last (not started again while the head stays over it).
struct DeckLane {
    DeckPlayer* player = nullptr;
    ClipRef* current = nullptr;
    ClipRef* last = nullptr;
    // The topmost clip of the lane strictly containing a head position, or nullptr.
    std::function<ClipRef(double)> probe;
    // The clip the head will reach next on the lane, moving right from a position; or nullptr.
    // Without it the deck prepares nothing ahead.
    std::function<ClipRef(double)> next;
    // model::nextMark over the lane. Without it the deck is never quiet.
    std::function<double(double)> nextMark;
};

struct DeckStepResult {
    double head = 0;  // where the head goes now
    // Per lane: whether the player sounds, and its position in seconds for the time label.
    std::array<bool, 2> sounding{};
    std::array<double, 2> seconds{};
    // For how long (seconds of playback) the next steps can change nothing but where the head
    // and the time labels stand: no start is pending, no sounding lane is inside a fade, and the
    // head is further than the preparing distance from any clip's edge, in or out point or fade.
    // 0 in a gap, whose head moves by steps.
    double quietSeconds = 0;
};

// How far ahead of the head (in seconds of playback) a clip's start is prepared.
constexpr double kCueAheadSeconds = 1.0;
// The least time a start placed on the output's clock is given to be prepared: a start the head
// reaches sooner waits for it there.
constexpr double kLeastClockLead = 0.1;

// One 10 ms step of a running deck: drops clips whose player stopped, starts the clip under the
// head on each lane when it is new (a clip whose movie is still being opened is tried again on
// the next step), sets each sounding lane's volume from its own player's
// position, and tells where the head goes (following lane 1's clip, else lane 2's, else a gap
// step). The head and the probes stand on the lanes scrolled by `scrollX`. `device` is the
// preview output device (used only by a routed deck).
// The step decides which clip sounds and from where; the moment a sound begins is the output's:
// each lane's next clip is prepared ahead and begins at the sample where the head reaches it,
// in step with the clip the head follows (a clip started by the step is locked the same way).
// `headBefore` is where the head stood on the timeline (scroll added) before its last move: a
// clip whose start point it had already reached then starts where the head stands now.
DeckStepResult deckStep(const DeckTraits& traits, std::array<DeckLane, 2>& lanes, double head,
                        double scrollX, double zoom, int32_t device,
                        double headBefore = -std::numeric_limits<double>::infinity());

// Prepares a lane's start of `clip`, `from` pixels into it, the way the step starts it: its
// movie sought there, at its volume there, on the deck's output; with `lock`, or held for the
// step that starts it. The one place where a start is prepared, running or stopped.
void cueStart(const DeckTraits& traits, DeckPlayer& player, const Clip& clip, double from,
              double zoom, const StartLock& lock, int32_t device);

// What a stopped deck keeps ready, so that Play sounds at once, like a player paused at the spot:
// on each lane the clip under the head (window x `head`) held at the start offset Play gives it.
// A lane without one lets go of what it held.
void prepareStoppedDeck(const DeckTraits& traits, std::array<DeckLane, 2>& lanes, double head,
                        double scrollX, double zoom, int32_t device);

}  // namespace model
