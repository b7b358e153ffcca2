// Edit menu on clips: Clear deletes the selected clip, Copy puts a copy of it into the window's
// own clipboard clip, Paste makes a new clip from that copy where a lane was last clicked.
#include "editing/drop_logic.h"
#include "editing/selection.h"
#include "shell/window1.h"

void Window1::clear() {
    const DragPicRef clip = editing::selectedClip(*this);
    // The clip the play deck is sounding stays, without a word: the DJ hears why.
    if (!clip || editing::soundingOnPlayDeck(*this, clip)) return;
    DragCanvas* lane = this->lane(balkenaktivspur);
    lane->mPics.erase(lane->mPics.begin() + balkenaktiv);
    balkenaktiv = -1;
    balkenaktivspur = 0;
    lane->aktualisiere();
    lane->versteckebalken();
    // The status line named the clip when it was picked; it must not name a clip that is gone.
    if (msg->Text() == clip->pname) msg->setText(QString());
}

void Window1::copy() {
    const DragPicRef source = editing::selectedClip(*this);
    if (!source) return;  // the clipboard keeps what it held
    // A clip of its own that belongs to no lane; paste takes place and lane from the target.
    auto c = std::make_shared<DragPic>();
    c->image = source->image;
    c->y = source->y;
    c->pname = source->pname;
    c->ppfad = source->ppfad;
    c->pdauer = source->pdauer;
    c->pstart = source->pstart;
    c->pstop = source->pstop;
    c->pfadein = source->pfadein;
    c->pfadeout = source->pfadeout;
    c->pfarbe = source->pfarbe;
    c->spur = source->spur;
    xcopy = std::move(c);
    if (platform::MenuItem* item = EditPaste()) item->AutoEnable = true;
}

void Window1::paste() {
    if (!xcopy || pastex.size() < 2 || pastex[1] == 0 || pastex[0] == 0) return;
    const double pos = pastex[0];
    const double laneNumber = pastex[1];
    DragCanvas* target = laneNumber == 1.0 ? Canvas1 : laneNumber == 2.0 ? Canvas2 : nullptr;
    const editing::PathProblem problem = editing::playlistPathProblem(xcopy->ppfad);
    if (problem != editing::PathProblem::None) {
        // Only a clip that could be saved enters the mix.
        msg->setText(editing::refusedPathText(xcopy->ppfad, problem));
    } else if (target) {
        const DragPic& c = *xcopy;
        if (!target->LineHit(pos) && !target->LineHit(pos + c.pdauer) &&
            !target->LineHit(pos + c.pdauer / 2)) {
            target->AddPicture(
                zeichnetrack(c.pname, c.pdauer, c.pfadein, c.pfadeout, c.pstart, c.pstop, c.pfarbe),
                pos, 16, c.pname, c.pdauer, c.ppfad, laneNumber, c.pfadein, c.pfadeout, c.pstart,
                c.pstop, c.pfarbe);
        } else {
            comment(1, QString());
        }
    }
    Canvas1->Refresh();
    Canvas2->Refresh();
}
