// A click on the main window outside its controls: places the heads and picks the active lane.
#include <QMouseEvent>
#include <algorithm>

#include "engine/transport.h"
#include "media/output.h"
#include "model/click_bands.h"
#include "model/numtext.h"
#include "shell/main_window.h"

namespace {

const QColor kActiveLane(255, 162, 0);
const QColor kInactiveLane(160, 160, 160);

}  // namespace

void MainWindow::mousePressEvent(QMouseEvent* e) {
    // Presses the controls leave (empty lane space, texts, lines) come here from the content.
    if (e->button() != Qt::LeftButton) {
        QMainWindow::mousePressEvent(e);
        return;
    }
    centralWidget()->setFocus();
    const QPoint p = centralWidget()->mapFrom(this, e->position().toPoint());
    backgroundClicked(p.x(), p.y());
}

void MainWindow::backgroundClicked(int x, int y) {
    laneView1->clearSelection();
    laneView2->clearSelection();
    mix.clearSelection();
    const int volumeHeight = std::max(0, model::whole(media::systemVolume() * 14));
    volumeMeter->setGeometry(volumeMeter->x(), 178 - volumeHeight, volumeMeter->width(),
                             volumeHeight);
    statusLine->setText(QString());

    const double cx = x;
    const double absolute = cx + static_cast<double>(mix.scrollX);
    const model::ClickBands bands = model::clickBands(y);
    if (bands.ruler) {
        // Restart the preview from the click, whether it ran or not.
        transport.stop(previewDeck);
        previewDeck.setHead(absolute);
        setStartOffsets(previewDeck, cx);
        preview();
    }
    if (bands.playStrip && !playDeck.running()) {
        playDeck.setHead(absolute);
        setStartOffsets(playDeck, cx);
    }
    lane1Border->setLineColor(bands.lane == 1 ? kActiveLane : kInactiveLane);
    lane2Border->setLineColor(bands.lane == 2 ? kActiveLane : kInactiveLane);
    if (bands.lane != 0) {
        mix.pasteTarget = model::PasteTarget{cx, bands.lane};
        menu->pasteAllowed = true;
        activeLane = bands.lane;
        previewDeck.setHead(absolute);
        setStartOffsets(previewDeck, cx);
    } else {
        mix.pasteTarget.reset();
        menu->pasteAllowed = false;
    }
}
