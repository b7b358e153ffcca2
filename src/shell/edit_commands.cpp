#include "shell/edit_commands.h"

#include "documents/playlist_io.h"
#include "editing/clipboard.h"
#include "editing/keyboard_commands.h"
#include "shell/deck_commands.h"
#include "shell/document_commands.h"

EditCommands::EditCommands(QObject* parent, model::Mix& mix, DeckCommands& decks,
                           DocumentCommands& documents, MainMenu& menu,
                           platform::StaticText& statusLine)
    : QObject(parent),
      mix_(mix),
      decks_(decks),
      documents_(documents),
      menu_(menu),
      statusLine_(statusLine) {}

void EditCommands::attach(const std::array<LaneView*, 2>& lanes,
                          platform::BorderedRectangle& volumeMeter) {
    lanes_ = lanes;
    volumeMeter_ = &volumeMeter;
}

void EditCommands::cut() {
    copy();
    clear();
}

void EditCommands::copy() {
    if (!editing::copySelectedClip(mix_, *this)) return;
    menu_.pasteAllowed = true;
}

void EditCommands::paste() { editing::pasteClipboardClip(mix_, *this); }

void EditCommands::clear() { editing::clearSelectedClip(mix_, *this); }

void EditCommands::keyPressed(bool repeat) {
    editing::keyPressed(mix_, *this, {previewLatched_, *volumeMeter_}, repeat);
}

void EditCommands::keyReleased() { editing::keyReleased(previewLatched_); }

model::ClipRef EditCommands::pressedClip(int n) const {
    const LaneView* view = lane(n);
    return view ? view->draggedClip : nullptr;
}

bool EditCommands::soundingOnPlayDeck(const model::ClipRef& clip) const {
    const engine::Deck& deck = decks_.playDeck();
    return clip && (clip == deck.current[0] || clip == deck.current[1]);
}

QString EditCommands::statusText() const { return statusLine_.text(); }

void EditCommands::setStatusText(const QString& text) { statusLine_.setText(text); }

void EditCommands::clearLaneSelection(int n) {
    if (LaneView* view = lane(n)) view->clearSelection();
}

model::PictureRef EditCommands::makeClipPicture(const QString& name, double duration,
                                                double fadeInEnd, double fadeOutStart, double start,
                                                double stop, int32_t label) {
    return documents::clipPictureOrSay(name, duration, fadeInEnd, fadeOutStart, start, stop, label);
}

void EditCommands::togglePreview() { decks_.preview(); }

void EditCommands::exportMix() { documents_.exportMovie(); }
