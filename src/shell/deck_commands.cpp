#include "shell/deck_commands.h"

#include "engine/routing.h"

DeckCommands::DeckCommands(QObject* parent, model::Mix& mix, model::StatusLine& statusLine)
    // A new play start loads the clips under the head again; the preview deck keeps what sounds.
    : QObject(parent),
      mix_(mix),
      playDeck_(model::kPlayDeck, true),
      previewDeck_(model::kPreviewDeck, false),
      transport_(*this, statusLine, mix_, playDeck_, previewDeck_) {}

void DeckCommands::play() { transport_.toggle(playDeck_); }

void DeckCommands::preview() { transport_.toggle(previewDeck_); }

void DeckCommands::moveHeadTo(engine::Deck& deck, double x) {
    deck.setHead(x + static_cast<double>(mix_.scrollX()));
}

void DeckCommands::setStartOffsets(engine::Deck& deck, double x) {
    transport_.setStartOffsets(deck, x);
}

void DeckCommands::retakeStartOffsets(engine::Deck& deck) {
    setStartOffsets(deck, deck.head() - static_cast<double>(mix_.scrollX()));
}

void DeckCommands::showSoundProblem(int32_t device, const QString& text) {
    transport_.showSoundProblem(device, text);
}

int32_t DeckCommands::previewOutputDevice() const { return previewDevice_; }

media::DeviceId DeckCommands::previewDeviceId() const { return previewDevice_; }

void DeckCommands::setPreviewDeviceId(media::DeviceId id) { previewDevice_ = id; }

void DeckCommands::routeToPreviewDevice(const media::MoviePlayer& player) {
    engine::routePlayer(player, previewDevice_);
}
