#include "shell/deck_commands.h"

#include "engine/routing.h"

DeckCommands::DeckCommands(QObject* parent, model::Mix& mix, platform::StaticText& statusLine)
    // A new play start loads the clips under the head again; the preview deck keeps what sounds.
    : QObject(parent),
      mix_(mix),
      statusLine_(statusLine),
      playDeck_(model::kPlayDeck, true),
      previewDeck_(model::kPreviewDeck, false) {}

void DeckCommands::play() { transport_.toggle(playDeck_); }

void DeckCommands::preview() { transport_.toggle(previewDeck_); }

void DeckCommands::moveHeadTo(engine::Deck& deck, double x) {
    deck.setHead(x + static_cast<double>(mix_.scrollX));
}

void DeckCommands::setStartOffsets(engine::Deck& deck, double x) {
    transport_.setStartOffsets(deck, x);
}

void DeckCommands::retakeStartOffsets(engine::Deck& deck) {
    setStartOffsets(deck, deck.head() - static_cast<double>(mix_.scrollX));
}

void DeckCommands::showSoundProblem(int32_t device, const QString& text) {
    transport_.showSoundProblem(device, text);
}

int32_t DeckCommands::previewOutputDevice() const { return previewDevice_; }

QString DeckCommands::statusText() const { return statusLine_.text(); }

void DeckCommands::showStatus(const QString& text) { statusLine_.setText(text); }

media::DeviceId DeckCommands::previewDeviceId() const { return previewDevice_; }

void DeckCommands::setPreviewDeviceId(media::DeviceId id) { previewDevice_ = id; }

void DeckCommands::routeToPreviewDevice(const media::MoviePlayer& player) {
    engine::routePlayer(player, previewDevice_);
}
