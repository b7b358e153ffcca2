#include "editing/clipboard.h"

#include "editing/selection.h"
#include "model/drop_logic.h"

namespace editing {

void clearSelectedClip(model::Mix& mix, EditHost& host) {
    const model::ClipRef clip = selectedClip(mix, host);
    // The clip the play deck is sounding stays, without a word: the DJ hears why.
    if (!clip || host.soundingOnPlayDeck(clip)) return;
    const auto [lane, index] = *mix.selection();  // a selected clip has a selection
    mix.clearSelection();
    mix.deleteClip(lane, index);
    host.clearLaneSelection(lane);
}

bool copySelectedClip(model::Mix& mix, const EditHost& host) {
    const model::ClipRef source = selectedClip(mix, host);
    if (!source) return false;  // the clipboard keeps what it held
    // A clip of its own that belongs to no lane; paste takes place and lane from the target.
    auto c = std::make_shared<model::Clip>();
    c->image = source->image;
    c->name = source->name;
    c->path = source->path;
    c->lengthPx = source->lengthPx;
    c->inPoint = source->inPoint;
    c->outPoint = source->outPoint;
    c->fadeInEnd = source->fadeInEnd;
    c->fadeOutStart = source->fadeOutStart;
    c->label = source->label;
    c->lane = source->lane;
    mix.setClipboardClip(std::move(c));
    return true;
}

void pasteClipboardClip(model::Mix& mix, EditHost& host) {
    if (!mix.clipboardClip() || !mix.pasteTarget()) return;
    // Where the target lies in the window now, whatever was scrolled since the click. A target
    // at the window's left edge is refused as no target.
    const double pos = mix.pasteTarget()->timelineX - static_cast<double>(mix.scrollX());
    if (pos == 0) return;
    const int laneNumber = mix.pasteTarget()->lane;
    const int target = laneNumber == 1 || laneNumber == 2 ? laneNumber : 0;
    const model::PathProblem problem = model::playlistPathProblem(mix.clipboardClip()->path);
    if (problem != model::PathProblem::None) {
        // Only a clip that could be saved enters the mix.
        host.statusLine().showMessage(model::refusedPathText(mix.clipboardClip()->path, problem));
    } else if (target != 0) {
        const model::Clip& c = *mix.clipboardClip();
        const std::vector<model::ClipRef>& clips = mix.lane(target);
        if (model::placeIsFree(clips, pos, c.lengthPx, mix.scrollX())) {
            mix.addNewClip(
                target, pos,
                {.image = host.makeClipPicture(c.name, c.lengthPx, c.fadeInEnd, c.fadeOutStart,
                                               c.inPoint, c.outPoint, c.label),
                 .name = c.name,
                 .path = c.path,
                 .lengthPx = c.lengthPx,
                 .inPoint = c.inPoint,
                 .outPoint = c.outPoint,
                 .fadeInEnd = c.fadeInEnd,
                 .fadeOutStart = c.fadeOutStart,
                 .label = c.label,
                 .lane = laneNumber});
        } else {
            host.statusLine().showMessage(kOverlapRefusedText);
        }
    }
}

}  // namespace editing
