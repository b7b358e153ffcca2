#include "lanes/deck_view.h"

#include <QAction>
#include <QWidget>

#include "model/lane_logic.h"

namespace lanes {

DeckView::DeckView(engine::Deck& deck, const model::Mix& mix, QWidget* content,
                   const DeckLooks& looks, const DeckControls& controls)
    : QObject(content),
      deck_(deck),
      mix_(mix),
      content_(content),
      looks_(looks),
      controls_(controls) {
    connect(&deck, &engine::Deck::runningChanged, this, &DeckView::showRunning);
    connect(&deck, &engine::Deck::headMoved, this, &DeckView::followHead);
    connect(&deck, &engine::Deck::laneTimesChanged, this, &DeckView::showTimes);
    connect(&deck, &engine::Deck::laneTimesCleared, this, [this] {
        for (platform::StaticText* label : controls_.labels) label->setText(QString());
    });
    connect(&mix, &model::Mix::viewChanged, this, &DeckView::followView);
}

double DeckView::headX() const { return deck_.head() - static_cast<double>(mix_.scrollX()); }

void DeckView::showRunning(bool running) {
    controls_.button->setPicture(running ? looks_.runningIcon() : looks_.stoppedIcon());
    if (controls_.menuAction)
        controls_.menuAction->setText(
            QString::fromLatin1(running ? looks_.runningText : looks_.stoppedText));
    if (looks_.redrawsBackdrop) content_->update();
}

void DeckView::followHead() {
    place(model::placeHead(headX(), content_->width(), looks_.labelOffset), false);
}

void DeckView::followView() { place(model::headAt(headX(), looks_.scrolledLabelOffset), true); }

// A label gets a new text only when the whole second it shows changes: a step neither builds a
// string nor has the label repainted 100 times a second for the same text. A play label parked
// off the window keeps its text and comes back with its head.
void DeckView::showTimes() {
    for (int i = 0; i < 2; ++i) {
        platform::StaticText& label = *controls_.labels[i];
        if (!deck_.traits.labelsWhereverTheyStand && label.x() == model::kParked) continue;
        const std::optional<double>& seconds = deck_.laneTimes()[i];
        if (!seconds) {
            label.setText(QString());
            continue;
        }
        char text[model::kTimeTextCapacity];
        const QLatin1StringView shown(text, model::writeTimeText(*seconds, text));
        if (label.text() != shown) label.setText(shown);
    }
}

void DeckView::place(const model::HeadPlacement& p, bool allLabels) {
    platform::FlatButton& button = *controls_.button;
    platform::Line& line = *controls_.line;
    platform::Separator& mark = *controls_.mark;
    if (button.x() != p.button) button.move(p.button, button.y());
    line.setPoints(p.line, line.y1(), p.line, line.y2());
    if (mark.x() != p.line) mark.move(p.line, mark.y());
    // A label with no text stays where it is while the head is shown; parking takes both.
    for (platform::StaticText* label : controls_.labels) {
        if ((allLabels || !p.shown || !label->text().isEmpty()) && label->x() != p.label)
            label->move(p.label, label->y());
    }
}

}  // namespace lanes
