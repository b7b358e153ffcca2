#pragma once
// The edit commands of the window: Cut, Copy, Paste and Clear on the selected clip, and what the
// keys do. Keeps the latch of the preview key.

#include <QObject>
#include <QString>
#include <array>

#include "editing/edit_host.h"
#include "lanes/lane_view.h"
#include "model/mix.h"
#include "platform/controls.h"
#include "shell/main_menu.h"

class DeckCommands;
class DocumentCommands;

class EditCommands : public QObject, public editing::EditHost {
    Q_OBJECT
  public:
    // `lanes`: whose pressed clips the commands work on; `drops`: how the lanes lay clips, which
    // the commands lay the same way; `volumeMeter`: the bar the volume keys move.
    EditCommands(QObject* parent, model::Mix& mix, DeckCommands& decks, DocumentCommands& documents,
                 MainMenu& menu, editing::DropHost& drops, const std::array<LaneView*, 2>& lanes,
                 platform::BorderedRectangle& volumeMeter);

    void cut();
    void copy();
    void paste();
    void clear();

    // A key pressed (or repeating: `repeat`) while the window has the focus; modifier keys alone
    // are none.
    void keyPressed(bool repeat = false);
    // A key let go (not a repeat, not a modifier).
    void keyReleased();
    // Keys let go while the window has no focus are not reported to it: the latch opens now.
    void focusLost() { previewLatched_ = false; }

    // editing::EditHost
    model::ClipRef pressedClip(int lane) const override;
    bool soundingOnPlayDeck(const model::ClipRef& clip) const override;
    void clearLaneSelection(int lane) override;
    model::PictureRef makeClipPicture(const QString& name, double duration, double fadeInEnd,
                                      double fadeOutStart, double start, double stop,
                                      int32_t label) override;
    void togglePreview() override;
    void exportMix() override;

  private:
    LaneView* lane(int n) const { return n == 1 || n == 2 ? lanes_[n - 1] : nullptr; }

    model::Mix& mix_;
    DeckCommands& decks_;
    DocumentCommands& documents_;
    MainMenu& menu_;
    editing::DropHost& drops_;
    const std::array<LaneView*, 2> lanes_;
    platform::BorderedRectangle& volumeMeter_;
    bool previewLatched_ = false;  // the preview key toggled the preview and is still held
};
