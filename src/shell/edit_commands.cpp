#include "shell/edit_commands.h"

#include "editing/clipboard.h"
#include "editing/keyboard_commands.h"
#include "shell/deck_commands.h"
#include "shell/document_commands.h"

EditCommands::EditCommands(QObject* parent, model::Mix& mix, DeckCommands& decks,
                           DocumentCommands& documents, MainMenu& menu, editing::DropHost& drops,
                           const std::array<LaneView*, 2>& lanes,
                           platform::BorderedRectangle& volumeMeter)
    : QObject(parent),
      EditHost(drops.statusLine()),
      mix_(mix),
      decks_(decks),
      documents_(documents),
      menu_(menu),
      drops_(drops),
      lanes_(lanes),
      volumeMeter_(volumeMeter) {}

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
    editing::keyPressed(mix_, *this, {previewLatched_, volumeMeter_}, repeat);
}

void EditCommands::keyReleased() { editing::keyReleased(previewLatched_); }

model::ClipRef EditCommands::pressedClip(int n) const {
    const LaneView* view = lane(n);
    return view ? view->draggedClip : nullptr;
}

bool EditCommands::soundingOnPlayDeck(const model::ClipRef& clip) const {
    return drops_.soundingOnPlayDeck(clip);
}

void EditCommands::clearLaneSelection(int n) {
    if (LaneView* view = lane(n)) view->clearSelection();
}

model::PictureRef EditCommands::makeClipPicture(const QString& name, double duration,
                                                double fadeInEnd, double fadeOutStart, double start,
                                                double stop, int32_t label) {
    return drops_.makeClipPicture(name, duration, fadeInEnd, fadeOutStart, start, stop, label);
}

void EditCommands::togglePreview() { decks_.preview(); }

void EditCommands::exportMix() { documents_.exportMovie(); }
