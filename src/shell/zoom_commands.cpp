// Zoom: five levels from 25 to 400 %; choosing one rescales every stored pixel value.
#include <QStringList>

#include "model/numtext.h"
#include "model/zoom_math.h"
#include "shell/main_window.h"

void MainWindow::zoomChosen(const QString& percent) {
    const double next = model::parseNumber(percent).value_or(0) / 100;
    if (!(next > 0)) return;  // a zoom of 0 would divide every later position by nothing
    zoomButton->setCaption(" " + model::formatNumber(next * 100) + "%");
    if (static_cast<double>(mix.pixelsPerSecond) == next) return;
    zoom(next / static_cast<double>(mix.pixelsPerSecond));
    mix.setZoom(static_cast<float>(next));
    centreOnHead(previewDeck);
}

void MainWindow::zoom(double f) {
    if (f == 0) return;
    // The heads keep their place in time.
    for (engine::Deck* deck : {&playDeck, &previewDeck}) deck->setHead(deck->head() * f);
    if (mix.clipboardClip) model::scaleClipLengths(*mix.clipboardClip, f);
    // The paste target keeps its place in time on either lane.
    if (mix.pasteTarget) mix.pasteTarget->x *= f;
    for (LaneView* lane : {laneView1, laneView2}) {
        for (size_t i = 0; i < lane->clips.size(); ++i) {
            model::Clip& c = *lane->clips[i];
            c.centre *= f;
            model::scaleClipLengths(c, f);
            c.playStart *= f;
            c.previewStart *= f;
            c.image = makeClipPicture(c.name, c.lengthPx, c.fadeInEnd, c.fadeOutStart, c.inPoint,
                                      c.outPoint, c.label);
        }
    }
    laneView1->clearSelection();
    laneView2->clearSelection();
    mix.clipsEdited(1);
    mix.clipsEdited(2);
}
