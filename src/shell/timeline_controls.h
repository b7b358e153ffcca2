#pragma once
// The controls along the timeline: the ruler and its time labels, the scroll bar, the zoom
// button and its menu, the buttons that find a head. They scroll and zoom the view, centre it on
// a head, and fit the window's width.

#include <QObject>
#include <QScrollBar>
#include <QString>
#include <array>

#include "engine/deck.h"
#include "lanes/lane_view.h"
#include "model/mix.h"
#include "platform/controls.h"

class DeckCommands;
class FolderTarget;

class TimelineControls : public QObject {
    Q_OBJECT
  public:
    // The controls the window built, in its content widget.
    struct Parts {
        QWidget* content = nullptr;
        std::array<LaneView*, 2> lanes{};
        std::array<platform::Line*, 2> laneBorders{};
        FolderTarget* folderTarget = nullptr;
        // The ruler's base line and the time labels that scroll along it (its ticks stay).
        platform::Separator* rulerLine = nullptr;
        std::array<platform::StaticText*, 5> rulerLabels{};
        QScrollBar* scrollBar = nullptr;
        platform::FlatButton* findPlayHeadButton = nullptr;
        platform::FlatButton* findPreviewHeadButton = nullptr;
        platform::BorderedRectangle* volumeMeter = nullptr;
        platform::FlatButton* zoomButton = nullptr;
    };

    TimelineControls(QObject* parent, model::Mix& mix, DeckCommands& decks, const Parts& parts);

    // The controls that follow the window's width take it again.
    void fitToWidth();
    // Scrolls to the 400-pixel page that holds the deck's head.
    void centreOnHead(const engine::Deck& deck);
    // Back to zoom 100 % and the start of the timeline, as a new document has it.
    void reset();

  private:
    // A zoom level chosen from the zoom button's menu, in percent.
    void zoomChosen(const QString& percent);
    // Rescales every stored pixel value by f; the heads keep their place in time.
    void zoom(double f);
    // The view follows the scroll bar.
    void followScroll();
    // The ruler's labels follow the scroll and the zoom.
    void scrollRuler();
    void showZoomPercent(double percent);
    void clearLaneSelections();

    model::Mix& mix_;
    DeckCommands& decks_;
    Parts parts_;
};
