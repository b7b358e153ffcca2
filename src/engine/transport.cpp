// Transport: the play and preview toggles, the start offsets and the status line's word about
// sound.
#include "engine/transport.h"

#include "engine/lane_player.h"
#include "engine/routing.h"
#include "media/output.h"
#include "media/sound_log.h"
#include "model/head_geometry.h"
#include "model/lane_logic.h"

namespace engine {

namespace {
// Edits and head moves while stopped come in bursts (a drag, a scroll): prepared once it settles.
constexpr int kPrepareDelayMs = 30;
}  // namespace

Transport::Transport(DeckHost& host, model::StatusLine& statusLine, model::Mix& mix, Deck& playDeck,
                     Deck& previewDeck)
    : host_(host), statusLine_(statusLine), mix_(mix), play_(playDeck), preview_(previewDeck) {
    prepareTimer_.setSingleShot(true);
    prepareTimer_.setInterval(kPrepareDelayMs);
    QObject::connect(&prepareTimer_, &QTimer::timeout, [this] { prepareStoppedDecks(); });
    const auto soon = [this] { prepareStoppedDecksSoon(); };
    QObject::connect(&mix_, &model::Mix::lanesChanged, &prepareTimer_, soon);
    QObject::connect(&mix_, &model::Mix::viewChanged, &prepareTimer_, soon);
    // A deck that stops asks for itself (stop()).
    for (Deck* deck : {&play_, &preview_}) {
        QObject::connect(deck, &Deck::headMoved, &prepareTimer_, [this, deck] {
            if (!deck->running()) prepareStoppedDecksSoon();
        });
    }
}

void Transport::toggle(Deck& deck) {
    if (deck.running()) {
        stop(deck);
        return;
    }
    // A sound server or device that came back since the last Play is found again first, so
    // that what the stopped deck held ready on the one that was gone is not what sounds.
    media::refreshOutputs();
    forgetReturnedSoundProblem();
    const int32_t route = deck.traits.routed ? host_.previewOutputDevice() : 0;
    if (!media::routeAvailable(route)) showUnavailableRoute(route);
    for (media::MoviePlayer& player : deck.players) {
        if (!player.cuedFileChanged()) continue;
        qCDebug(media::soundLog) << "the file of a prepared start changed since: started afresh";
        player.cancelCue();
    }
    setStartOffsets(deck, deck.head() - static_cast<double>(mix_.scrollX()));
    deck.headAtLastStep = -std::numeric_limits<double>::infinity();
    deck.setRunning(true);
    // The first step now, not a timer period later: it starts the clips under the head.
    timer_.wake();
    tick();
}

void Transport::stop(Deck& deck) {
    deck.setRunning(false);
    deck.forgetClips();
    for (media::MoviePlayer& player : deck.players) {
        player.stop();
        player.cancelCue();
    }
    prepareStoppedDecksSoon();
}

void Transport::prepareStoppedDecksSoon() {
    // Never pushed back: a stream of changes (a running deck scrolling the view) still gets the
    // stopped deck prepared.
    if (!prepareTimer_.isActive()) prepareTimer_.start();
}

void Transport::prepareStoppedDecks() {
    for (Deck* deck : {&play_, &preview_})
        if (!deck->running()) prepareStopped(*deck);
}

// What Play will start, prepared the way its first step starts it.
void Transport::prepareStopped(Deck& deck) {
    StepLanes step(host_, statusLine_, mix_, deck);
    const double scrollX = mix_.scrollX();
    model::prepareStoppedDeck(deck.traits, step.lanes, deck.head() - scrollX, scrollX,
                              static_cast<double>(mix_.pixelsPerSecond()),
                              host_.previewOutputDevice());
}

// The play deck forgets the clips it loaded, so the next tick starts them again from the new
// offsets; the clips now sounding on the preview deck stay, and the tick decides what plays next.
// The clip is found at the head, the offset measured from pos.
void Transport::setStartOffsets(Deck& deck, double pos) {
    if (deck.newStartForgetsClips) deck.current = {};
    const double scrollX = mix_.scrollX();
    const double headX = deck.head() - scrollX;
    for (int n : {1, 2}) {
        const std::vector<model::ClipRef>& clips = mix_.lane(n);
        model::assignStartOffsets(clips, model::lineHit(clips, headX, scrollX), pos, scrollX,
                                  deck.traits.startOffset);
    }
}

void Transport::showSoundProblem(int32_t device, const QString& text) {
    soundProblemDevice_ = device;
    soundProblemText_ = text;
    statusLine_.showMessage(text);
}

void Transport::showUnavailableRoute(int32_t route) {
    // Without a default device there is no sound device at all.
    const bool anyDevice = media::routeAvailable(0);
    showSoundProblem(anyDevice ? route : 0, unavailableRouteText(anyDevice));
}

void Transport::forgetReturnedSoundProblem() {
    if (soundProblemText_.isEmpty() || !media::routeAvailable(soundProblemDevice_)) return;
    if (statusLine_.text() == soundProblemText_) statusLine_.showMessage(QString());
    soundProblemText_.clear();
}

}  // namespace engine
