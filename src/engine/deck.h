#pragma once
// A deck: one head running over the two lanes with a movie player per lane. The main window has
// two, the play deck and the preview deck; the tick, the transport, the heads and the mouse work
// on either through this one type. What differs between the two is data: the step's traits and
// the deck's looks.

#include <array>
#include <limits>

#include "model/deck_step.h"
#include "model/head_geometry.h"
#include "model/clip.h"
#include "media/movie_player.h"
#include "platform/controls.h"
#include "model/picture.h"

class QAction;

namespace engine {

// How a deck shows itself and what its start does to what it plays.
struct DeckLooks {
    int labelOffset;          // time labels ride this far right of a moved head
    int scrolledLabelOffset;  // and this far when a scroll lays the heads again
    model::PictureRef (*stoppedIcon)();
    model::PictureRef (*runningIcon)();
    const char* stoppedText;    // its menu item while stopped
    const char* runningText;    // and while running
    bool redrawsBackdrop;       // its toggle repaints the window background
    bool newStartForgetsClips;  // taking new start offsets forgets the loaded clips
};

struct Deck {
    Deck(const model::DeckTraits& traits, const DeckLooks& looks) : traits(traits), looks(looks) {}
    Deck(const Deck&) = delete;
    Deck& operator=(const Deck&) = delete;

    const model::DeckTraits& traits;
    const DeckLooks& looks;

    bool running = false;
    double headX = 0;          // the head, in visible window pixels
    double headTimelineX = 0;  // the head on the timeline: headX plus the scroll
    // Where the last step found the head on the timeline (none before the deck's first step):
    // a clip whose start it had reached by then starts where the head stands.
    double headAtLastStep = -std::numeric_limits<double>::infinity();
    std::array<media::MoviePlayer, 2> players;        // per lane
    std::array<model::ClipRef, 2> current;            // per lane: the clip now loaded in the player
    std::array<model::ClipRef, 2> last;               // per lane: the clip started last

    // The controls that draw the head.
    platform::FlatButton* button = nullptr;
    platform::Line* line = nullptr;
    platform::Separator* mark = nullptr;
    std::array<platform::StaticText*, 2> labels{};
    QAction* menuAction = nullptr;  // its Play or Preview item

    // Moves the head's controls to the placement. A shown head moves a label only while it shows
    // a text, unless allLabels is set (the ruler re-lays both heads whatever their labels say).
    void placeControls(const model::HeadPlacement& p, bool allLabels = false);
    // Forgets the clips it played, without stopping anything.
    void forgetClips();
};

}  // namespace engine
