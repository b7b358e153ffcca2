#include "shell/timeline_controls.h"

#include <QMenu>
#include <QStringList>

#include "documents/playlist_io.h"
#include "model/lane_logic.h"
#include "model/numtext.h"
#include "model/zoom_math.h"
#include "shell/deck_commands.h"
#include "shell/folder_target.h"

TimelineControls::TimelineControls(QObject* parent, model::Mix& mix, DeckCommands& decks,
                                   const Parts& parts)
    : QObject(parent), mix_(mix), decks_(decks), parts_(parts) {
    connect(parts_.scrollBar, &QScrollBar::valueChanged, this, &TimelineControls::followScroll);
    connect(&mix_, &model::Mix::viewChanged, this, &TimelineControls::scrollRuler);
    connect(parts_.findPlayHeadButton, &platform::FlatButton::clicked, this,
            [this] { centreOnHead(decks_.playDeck()); });
    connect(parts_.findPreviewHeadButton, &platform::FlatButton::clicked, this,
            [this] { centreOnHead(decks_.previewDeck()); });
    auto* zoomMenu = new QMenu(parts_.zoomButton);
    for (const QString& percent : QStringLiteral("25,50,100,200,400").split(','))
        zoomMenu->addAction(percent, this, [this, percent] { zoomChosen(percent); });
    parts_.zoomButton->setMenu(zoomMenu);
}

void TimelineControls::fitToWidth() {
    const int w = parts_.content->width();
    for (LaneView* lane : parts_.lanes) lane->resize(w, lane->height());
    FolderTarget* folderTarget = parts_.folderTarget;
    folderTarget->move(w - folderTarget->width(), folderTarget->y());
    for (platform::Line* border : parts_.laneBorders)
        border->setPoints(border->x1(), border->y1(), border->x1() + w, border->y2());
    parts_.rulerLine->resize(w, parts_.rulerLine->height());
    parts_.scrollBar->setPageStep(model::whole(w / 60.0));
    parts_.scrollBar->resize(w - 120, parts_.scrollBar->height());
    parts_.zoomButton->move(w - 54, parts_.zoomButton->y());
    parts_.findPlayHeadButton->move(w - 110, parts_.findPlayHeadButton->y());
    parts_.findPreviewHeadButton->move(w - 88, parts_.findPreviewHeadButton->y());
    parts_.volumeMeter->move(w - 64, parts_.volumeMeter->y());
}

void TimelineControls::followScroll() {
    clearLaneSelections();
    const float scrollX = static_cast<float>(parts_.scrollBar->value() * 60);
    mix_.setScrollX(scrollX);  // the ruler, the heads and the lanes follow
    if (auto max = model::scrollMaximum(mix_.pixelsPerSecond())) parts_.scrollBar->setMaximum(*max);
}

void TimelineControls::scrollRuler() {
    const auto labels = model::rulerLabels(mix_.scrollX(), mix_.pixelsPerSecond());
    auto& rulerLabels = parts_.rulerLabels;
    for (int i = 0; i < 5; ++i) rulerLabels[i]->move(labels[i].left, rulerLabels[i]->y());
    for (int i = 0; i < 5; ++i) rulerLabels[i]->setText(labels[i].text);
}

void TimelineControls::centreOnHead(const engine::Deck& deck) {
    const int page =
        model::headPage(deck.head() - static_cast<double>(mix_.scrollX()), mix_.scrollX());
    mix_.setScrollX(static_cast<float>(page * 400.0));
    const int value = model::whole(mix_.scrollX() / 60);
    QScrollBar* scrollBar = parts_.scrollBar;
    const int before = scrollBar->value();
    scrollBar->setValue(value);
    // The scroll offset must always equal the bar's value x 60; when the value did not change
    // (or was limited by the maximum) no event ran followScroll, so run it here.
    if (scrollBar->value() == before) followScroll();
    clearLaneSelections();
}

void TimelineControls::reset() {
    showZoomPercent(100);
    scrollRuler();
    parts_.scrollBar->setValue(0);
    mix_.setScrollX(0);
    auto& rulerLabels = parts_.rulerLabels;
    for (int i = 0; i < 4; ++i) rulerLabels[i]->move(300 * i, rulerLabels[i]->y());
}

void TimelineControls::zoomChosen(const QString& percent) {
    const double next = model::parseNumber(percent).value_or(0) / 100;
    if (!(next > 0)) return;  // a zoom of 0 would divide every later position by nothing
    showZoomPercent(next * 100);
    if (static_cast<double>(mix_.pixelsPerSecond()) == next) return;
    zoom(next / static_cast<double>(mix_.pixelsPerSecond()));
    mix_.setZoom(static_cast<float>(next));
    centreOnHead(decks_.previewDeck());
}

void TimelineControls::zoom(double f) {
    if (f == 0) return;
    for (engine::Deck* deck : {&decks_.playDeck(), &decks_.previewDeck()})
        deck->setHead(deck->head() * f);
    mix_.scaleTimeline(f, [](const model::Clip& c) { return documents::clipPictureOrSay(c); });
    clearLaneSelections();
}

void TimelineControls::showZoomPercent(double percent) {
    parts_.zoomButton->setCaption(" " + model::formatNumber(percent) + "%");
}

void TimelineControls::clearLaneSelections() {
    for (LaneView* lane : parts_.lanes) lane->clearSelection();
}
