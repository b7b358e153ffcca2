// A click on the main window outside its controls: places the heads and picks the active lane.
#include "engine/click_bands.h"
#include "engine/deck_bindings.h"
#include "media/output.h"
#include "platform/numtext.h"

namespace {

const QColor kActiveLane(255, 162, 0);
const QColor kInactiveLane(160, 160, 160);

}  // namespace

bool Window1::MouseDown(int x, int y) {
    Canvas1->versteckebalken();
    Canvas2->versteckebalken();
    balkenaktiv = -1;
    balkenaktivspur = 0;
    laut->setHeight(whole(media::systemVolume() * 14));
    laut->setTop(178 - laut->Height());
    msg->setText(QString());

    const double cx = x;
    const double absolute = cx + static_cast<double>(scrollwert);
    const engine::ClickBands bands = engine::clickBands(y);
    if (bands.ruler) {
        // Restart the preview from the click, whether it ran or not.
        engine::stopDeck(*this, engine::previewDeck());
        spreviewline = absolute;
        MovePreviewLineTo(cx);
        SetPreviewStartPos(cx);
        preview();
    }
    if (bands.playStrip && !pplay1) {
        splayline = absolute;
        MovePlayerLineTo(cx);
        SetPlayStartPos(cx);
    }
    Line4->setLineColor(bands.lane == 1 ? kActiveLane : kInactiveLane);
    Line3->setLineColor(bands.lane == 2 ? kActiveLane : kInactiveLane);
    if (bands.lane != 0) {
        pastex.assign({cx, static_cast<double>(bands.lane)});
        if (platform::MenuItem* paste = EditPaste()) paste->AutoEnable = true;
        aktivcanvas = bands.lane;
        spreviewline = absolute;
        MovePreviewLineTo(cx);
        SetPreviewStartPos(cx);
    } else {
        pastex.assign({0.0, 0.0});
        if (platform::MenuItem* paste = EditPaste()) paste->AutoEnable = false;
    }
    return false;
}
