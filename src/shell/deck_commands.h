#pragma once
// The decks' side of the window: the play and preview decks and the transport that runs them,
// their commands (Play, Preview, a head moved to a window x, start offsets), the preview device
// and its routing, and the status line's words about sound that has nowhere to go.

#include <QObject>
#include <QString>

#include "engine/deck.h"
#include "engine/deck_host.h"
#include "engine/transport.h"
#include "model/mix.h"
#include "model/status_line.h"
#include "windows/preview_device_host.h"

class DeckCommands : public QObject, public engine::DeckHost, public windows::PreviewDeviceHost {
    Q_OBJECT
  public:
    DeckCommands(QObject* parent, model::Mix& mix, model::StatusLine& statusLine);

    engine::Deck& playDeck() { return playDeck_; }
    engine::Deck& previewDeck() { return previewDeck_; }
    engine::Transport& transport() { return transport_; }

    // Starts the deck from its head, or stops it.
    void play();
    void preview();
    // Moves a deck's head to window x of the lanes as scrolled now.
    void moveHeadTo(engine::Deck& deck, double x);
    // Gives the clips under the deck's head their start offsets, the head standing at window x.
    void setStartOffsets(engine::Deck& deck, double x);
    // The same where the head stands now.
    void retakeStartOffsets(engine::Deck& deck);
    // The status line's word that sound has nowhere to go on a device (0: the default), cleared
    // by the first Play or Preview that finds the device there again.
    void showSoundProblem(int32_t device, const QString& text);

    // engine::DeckHost
    int32_t previewOutputDevice() const override;

    // windows::PreviewDeviceHost
    media::DeviceId previewDeviceId() const override;
    void setPreviewDeviceId(media::DeviceId id) override;
    void routeToPreviewDevice(const media::MoviePlayer& player) override;

  private:
    model::Mix& mix_;
    media::DeviceId previewDevice_ = 0;  // sound output of the preview players (0: the default)
    engine::Deck playDeck_;
    engine::Deck previewDeck_;
    engine::Transport transport_;
};
