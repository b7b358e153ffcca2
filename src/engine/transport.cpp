// Transport: the play and preview toggles, the start offsets and the status line's word about
// sound.
#include "engine/transport.h"

#include "engine/lane_player.h"
#include "media/output.h"
#include "model/fades.h"
#include "model/head_geometry.h"
#include "model/lane_logic.h"

namespace engine {

namespace {
// Edits and head moves while stopped come in bursts (a drag, a scroll): prepared once it settles.
constexpr int kPrepareDelayMs = 30;
}  // namespace

Transport::Transport(DeckHost& host, model::Mix& mix, Deck& playDeck, Deck& previewDeck)
    : host_(host), mix_(mix), play_(playDeck), preview_(previewDeck) {
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
    // The toggle starts no sound itself: the next tick loads the clips under the head. A sound
    // server or device that came back since the last Play is found again here.
    media::refreshOutputs();
    forgetReturnedSoundProblem();
    setStartOffsets(deck, deck.head() - static_cast<double>(mix_.scrollX));
    deck.headAtLastStep = -std::numeric_limits<double>::infinity();
    deck.setRunning(true);
    timer_.wake();
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

// What Play will start, prepared the way the first step starts it: the clip under the head on
// each lane, from the start offset Play gives it, at its volume there, on the deck's output.
void Transport::prepareStopped(Deck& deck) {
    const int32_t device = deck.traits.routed ? host_.previewOutputDevice() : 0;
    const double scrollX = mix_.scrollX;
    const double zoom = static_cast<double>(mix_.pixelsPerSecond);
    const double headX = deck.head() - scrollX;
    for (int i = 0; i < 2; ++i) {
        LanePlayer player(host_, deck.players[i], device);
        const std::vector<model::ClipRef>& clips = mix_.lane(i + 1);
        const model::ClipRef hit = model::lineHit(clips, headX, scrollX);
        if (!hit || !(zoom > 0)) {
            player.cancelCue();
            continue;
        }
        // Play gives the clip this offset (setStartOffsets) and its first step starts there.
        const double offset = model::startOffsetAt(*hit, headX, scrollX);
        player.cue(*hit, offset / zoom,
                   model::clipVolume(*hit, offset, zoom).value_or(model::kFullVolume),
                   model::StartLock(), deck.traits.routed, device);
    }
}

// The play deck forgets the clips it loaded, so the next tick starts them again from the new
// offsets; the clips now sounding on the preview deck stay, and the tick decides what plays next.
// The clip is found at the head, the offset measured from pos.
void Transport::setStartOffsets(Deck& deck, double pos) {
    if (deck.newStartForgetsClips) deck.current = {};
    const double scrollX = mix_.scrollX;
    const double headX = deck.head() - scrollX;
    for (const std::vector<model::ClipRef>& clips : mix_.lanes)
        model::assignStartOffsets(clips, model::lineHit(clips, headX, scrollX), pos, scrollX,
                                  deck.traits.startOffset);
}

void Transport::showSoundProblem(int32_t device, const QString& text) {
    soundProblemDevice_ = device;
    soundProblemText_ = text;
    host_.showStatus(text);
}

void Transport::forgetReturnedSoundProblem() {
    if (soundProblemText_.isEmpty() || !media::routeAvailable(soundProblemDevice_)) return;
    if (host_.statusText() == soundProblemText_) host_.showStatus(QString());
    soundProblemText_.clear();
}

}  // namespace engine
