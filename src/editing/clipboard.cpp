// Edit menu on clips: Clear deletes the selected clip, Copy puts a copy of it into the window's
// own clipboard clip, Paste makes a new clip from that copy where a lane was last clicked.
#include "model/drop_logic.h"
#include "model/selection.h"
#include "shell/main_window.h"

void MainWindow::clear() {
    const ClipRef clip = editing::selectedClip(*this);
    // The clip the play deck is sounding stays, without a word: the DJ hears why.
    if (!clip || editing::soundingOnPlayDeck(*this, clip)) return;
    LaneView* lane = this->lane(mix.selectedLane);
    lane->clips.erase(lane->clips.begin() + mix.selectedIndex);
    mix.selectedIndex = -1;
    mix.selectedLane = 0;
    lane->refreshAll();
    lane->clearSelection();
    // The status line named the clip when it was picked; it must not name a clip that is gone.
    if (statusLine->Text() == clip->name) statusLine->setText(QString());
}

void MainWindow::copy() {
    const ClipRef source = editing::selectedClip(*this);
    if (!source) return;  // the clipboard keeps what it held
    // A clip of its own that belongs to no lane; paste takes place and lane from the target.
    auto c = std::make_shared<Clip>();
    c->image = source->image;
    c->y = source->y;
    c->name = source->name;
    c->path = source->path;
    c->lengthPx = source->lengthPx;
    c->inPoint = source->inPoint;
    c->outPoint = source->outPoint;
    c->fadeInEnd = source->fadeInEnd;
    c->fadeOutStart = source->fadeOutStart;
    c->label = source->label;
    c->lane = source->lane;
    mix.clipboardClip = std::move(c);
    if (platform::MenuItem* item = pasteItem()) item->AutoEnable = true;
}

void MainWindow::paste() {
    if (!mix.clipboardClip || mix.pasteTarget.size() < 2 || mix.pasteTarget[1] == 0 ||
        mix.pasteTarget[0] == 0)
        return;
    const double pos = mix.pasteTarget[0];
    const double laneNumber = mix.pasteTarget[1];
    LaneView* target = laneNumber == 1.0 ? laneView1 : laneNumber == 2.0 ? laneView2 : nullptr;
    const editing::PathProblem problem = editing::playlistPathProblem(mix.clipboardClip->path);
    if (problem != editing::PathProblem::None) {
        // Only a clip that could be saved enters the mix.
        statusLine->setText(editing::refusedPathText(mix.clipboardClip->path, problem));
    } else if (target) {
        const Clip& c = *mix.clipboardClip;
        if (!target->clipUnder(pos) && !target->clipUnder(pos + c.lengthPx) &&
            !target->clipUnder(pos + c.lengthPx / 2)) {
            target->addNewClip(makeClipPicture(c.name, c.lengthPx, c.fadeInEnd, c.fadeOutStart,
                                               c.inPoint, c.outPoint, c.label),
                               pos, 16, c.name, c.lengthPx, c.path, laneNumber, c.fadeInEnd,
                               c.fadeOutStart, c.inPoint, c.outPoint, c.label);
        } else {
            comment(1, QString());
        }
    }
    laneView1->Refresh();
    laneView2->Refresh();
}
