#pragma once
// The transport: what Play and Preview do. Starting and stopping the two decks, their 10 ms tick,
// the start offsets their heads give the clips, and the status line's word about sound that has
// nowhere to go. What shows a deck follows the deck's signals.

#include <QString>
#include <QTimer>
#include <cstdint>

#include "engine/deck.h"
#include "engine/deck_host.h"
#include "engine/tick_timer.h"
#include "model/mix.h"
#include "model/status_line.h"

class QObject;

namespace engine {

class Transport {
  public:
    Transport(DeckHost& host, model::StatusLine& statusLine, model::Mix& mix, Deck& playDeck,
              Deck& previewDeck);
    Transport(const Transport&) = delete;
    Transport& operator=(const Transport&) = delete;

    // Starts a stopped deck from its head (the next tick loads the clips under it), or stops it.
    void toggle(Deck& deck);
    // Stops a deck: its clips forgotten, both players stopped. The head stays where it is and
    // the players keep their movies.
    void stop(Deck& deck);
    // Gives the clips under the deck's head their start offsets, the head standing at window x
    // `pos` of the lanes as scrolled now.
    void setStartOffsets(Deck& deck, double pos);
    // Runs the decks' tick; the window's reset sets its 10 ms period.
    TickTimer& timer() { return timer_; }
    // One step of each running deck. The tick timer then rests with both decks stopped, or
    // pauses for as long as the steps could change nothing but where the heads stand.
    void tick();
    // Has a pausing tick catch up before the application handles the user's input, so the
    // input meets the heads where they are now. The filter lives as long as `owner`.
    void catchUpOnInput(QObject* owner);

    // Says in the status line that sound has nowhere to go on `device` (0: the default).
    void showSoundProblem(int32_t device, const QString& text);
    // Says that a track routed to `route` cannot sound there (0: there is no device at all).
    void showUnavailableRoute(int32_t route);
    // Clears that word once the device is there again (and the status line still shows it).
    void forgetReturnedSoundProblem();

  private:
    // A stopped deck keeps the clips under its head prepared to sound from there (decoded and
    // held), so that Play sounds at once, like a player paused at the spot: done shortly after
    // the deck stops, its head moves, or the lanes or the view change.
    void prepareStoppedDecksSoon();
    void prepareStoppedDecks();
    void prepareStopped(Deck& deck);

    DeckHost& host_;
    model::StatusLine& statusLine_;
    model::Mix& mix_;
    Deck& play_;
    Deck& preview_;
    // Set while a tick runs: a timer firing inside a nested event loop must not re-enter it.
    bool tickRunning_ = false;
    QString soundProblemText_;
    int32_t soundProblemDevice_ = 0;
    TickTimer timer_{nullptr, 1000, [this] { tick(); }};
    QTimer prepareTimer_;
};

}  // namespace engine
