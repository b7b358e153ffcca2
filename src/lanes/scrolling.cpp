// Scrolling the view along the timeline, the ruler labels, and the search for a head's page.
#include "engine/head_controls.h"
#include "lanes/lane_logic.h"
#include "platform/numtext.h"
#include "shell/window1.h"

void Window1::ScrollBar1_Open() { ScrollBar1->setMaximum(900); }

void Window1::ScrollBar1_ValueChanged() { scroller(); }

void Window1::scroller() {
    Canvas1->versteckebalken();
    Canvas2->versteckebalken();
    scrollwert = static_cast<float>(ScrollBar1->Value() * 60);
    previewbalken = spreviewline - scrollwert;
    playbalken = splayline - scrollwert;
    zeitundbalkenscroll();
    for (DragCanvas* lane : {Canvas1, Canvas2}) {
        for (int i = static_cast<int>(lane->mPics.size()) - 1; i >= 0; --i) {
            DragPic& c = *lane->mPics[i];
            c.x = c.porgx - scrollwert;
        }
    }
    Canvas1->aktualisiere();
    Canvas2->aktualisiere();
    if (auto max = lanes::scrollMaximum(zoomwert)) ScrollBar1->setMaximum(*max);
}

void Window1::zeitundbalkenscroll() {
    const auto labels = lanes::rulerLabels(scrollwert, zoomwert);
    platform::StaticText* texts[5] = {dauer1, dauer2, dauer3, dauer4, dauer5};
    for (int i = 0; i < 5; ++i) texts[i]->setLeft(labels[i].left);
    for (int i = 0; i < 5; ++i) texts[i]->setText(labels[i].text);
    // Both heads go to their places even far outside the window, labels and all: the play
    // labels at the head itself, the preview labels 11 pixels right of it.
    engine::placeHeadControls(engine::headAt(playbalken, 0), engine::playHeadControls(*this), true);
    engine::placeHeadControls(engine::headAt(previewbalken, 11), engine::previewHeadControls(*this),
                              true);
}

void Window1::previeplayzentriere(int32_t which) {
    int32_t page = 0;
    if (which == 1) page = lanes::headPage(previewbalken, scrollwert);
    if (which == 2) page = lanes::headPage(playbalken, scrollwert);
    scrollwert = static_cast<float>(page * 400.0);
    const int value = whole(scrollwert / 60);
    const int before = ScrollBar1->Value();
    ScrollBar1->setValue(value);
    // The scroll offset must always equal the bar's value x 60; when the value did not change
    // (or was limited by the maximum) no event ran scroller, so run it here.
    if (ScrollBar1->Value() == before) scroller();
    Canvas1->versteckebalken();
    Canvas2->versteckebalken();
    Canvas1->aktualisiere();
    Canvas2->aktualisiere();
}

void Window1::nowplay_Action() { previeplayzentriere(2); }

void Window1::nowpreview_Action() { previeplayzentriere(1); }

QString Window1::secstoTime(double secs) { return lanes::timeText(secs); }
