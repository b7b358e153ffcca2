// Scrolling the view along the timeline, the ruler labels, and the search for a head's page;
// the heads follow the scroll themselves (lanes::DeckView).
#include "engine/deck.h"
#include "model/lane_logic.h"
#include "model/numtext.h"
#include "shell/main_window.h"

void MainWindow::followScroll() {
    laneView1->clearSelection();
    laneView2->clearSelection();
    const float scrollX = static_cast<float>(timelineScrollBar->value() * 60);
    mix.setScrollX(scrollX);  // the ruler, the heads and the lanes follow
    if (auto max = model::scrollMaximum(mix.pixelsPerSecond)) timelineScrollBar->setMaximum(*max);
}

void MainWindow::scrollRuler() {
    const auto labels = model::rulerLabels(mix.scrollX, mix.pixelsPerSecond);
    for (int i = 0; i < 5; ++i) ruler.labels[i]->move(labels[i].left, ruler.labels[i]->y());
    for (int i = 0; i < 5; ++i) ruler.labels[i]->setText(labels[i].text);
}

void MainWindow::centreOnHead(const engine::Deck& deck) {
    const int page = model::headPage(deck.head() - static_cast<double>(mix.scrollX), mix.scrollX);
    mix.setScrollX(static_cast<float>(page * 400.0));
    const int value = model::whole(mix.scrollX / 60);
    const int before = timelineScrollBar->value();
    timelineScrollBar->setValue(value);
    // The scroll offset must always equal the bar's value x 60; when the value did not change
    // (or was limited by the maximum) no event ran followScroll, so run it here.
    if (timelineScrollBar->value() == before) followScroll();
    laneView1->clearSelection();
    laneView2->clearSelection();
}

void MainWindow::findPlayHeadClicked() { centreOnHead(playDeck); }

void MainWindow::findPreviewHeadClicked() { centreOnHead(previewDeck); }
