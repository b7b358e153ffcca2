#pragma once
// What shows a deck: its head's button, line and mark over the lanes, the two lanes' time labels
// beside the head, and its Play or Preview menu item. They follow the deck's signals and the
// mix's scroll and zoom; the head's place in the window is computed from the deck's place on the
// timeline and the scroll, never kept here.

#include <QObject>
#include <array>

#include "engine/deck.h"
#include "model/head_geometry.h"
#include "model/mix.h"
#include "model/picture.h"
#include "platform/controls.h"

class QAction;
class QWidget;

namespace lanes {

// How a deck's head looks.
struct DeckLooks {
    int labelOffset;          // time labels ride this far right of a moved head
    int scrolledLabelOffset;  // and this far when a scroll lays the heads again
    model::PictureRef (*stoppedIcon)();
    model::PictureRef (*runningIcon)();
    const char* stoppedText;  // its menu item while stopped
    const char* runningText;  // and while running
    bool redrawsBackdrop;     // its start and stop repaint what lies behind the lanes
};

// The controls a window builds for a deck, at their places among its other controls.
struct DeckControls {
    platform::FlatButton* button = nullptr;
    platform::Line* line = nullptr;
    platform::Separator* mark = nullptr;
    std::array<platform::StaticText*, 2> labels{};
    QAction* menuAction = nullptr;  // may be null
};

class DeckView final : public QObject {
    Q_OBJECT
  public:
    // `content` holds the controls: its width is the view's, and it is what lies behind the
    // lanes. The view lives as long as `content`.
    DeckView(engine::Deck& deck, const model::Mix& mix, QWidget* content, const DeckLooks& looks,
             const DeckControls& controls);

    // The head in the window: its place on the timeline less the scroll.
    double headX() const;

    platform::FlatButton* button() const { return controls_.button; }
    platform::Line* line() const { return controls_.line; }
    platform::Separator* mark() const { return controls_.mark; }
    platform::StaticText* label(int lane) const { return controls_.labels[lane - 1]; }

  private:
    void showRunning(bool running);
    // A moved head parks its controls outside the view; a label moves only while it shows a
    // text.
    void followHead();
    // The scroll or zoom lays the head again wherever it lies, labels and all.
    void followView();
    void showTimes();
    void place(const model::HeadPlacement& p, bool allLabels);

    const engine::Deck& deck_;
    const model::Mix& mix_;
    QWidget* const content_;
    const DeckLooks& looks_;
    const DeckControls controls_;
};

}  // namespace lanes
