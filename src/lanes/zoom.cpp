// Zoom: five levels from 25 to 400 %; choosing one rescales every stored pixel value.
#include <QStringList>

#include "lanes/zoom_math.h"
#include "platform/numtext.h"
#include "shell/window1.h"

void scaleClipLengths(DragPic& clip, double f) {
    clip.pdauer *= f;
    clip.pstart *= f;
    clip.pstop *= f;
    clip.pfadein *= f;
    clip.pfadeout *= f;
}

void Window1::zoomer_Open() {
    zoomer->setCaption(QStringLiteral(" 100%"));
    zoomer->DeleteAllRows();
    for (const QString& row : QStringLiteral("25,50,100,200,400").split(',')) zoomer->AddRow(row);
}

void Window1::zoomer_Action() {
    const int row = zoomer->MenuValue();
    if (row < 0 || row >= zoomer->ListCount()) return;  // no row chosen: the zoom stays
    const double next = Val(zoomer->List(row)) / 100;
    if (!(next > 0)) return;  // a zoom of 0 would divide every later position by nothing
    zoomer->setCaption(" " + Str(next * 100) + "%");
    if (static_cast<double>(zoomwert) == next) return;
    zoom(next / static_cast<double>(zoomwert));
    zoomwert = static_cast<float>(next);
    zeitundbalkenscroll();
    previeplayzentriere(1);
}

void Window1::zoom(double f) {
    if (f == 0) return;
    const int32_t s = whole(scrollwert);
    playbalken = (playbalken + s) * f - s;
    MovePlayerLineTo(playbalken);
    previewbalken = (previewbalken + s) * f - s;
    MovePreviewLineTo(previewbalken);
    if (xcopy) scaleClipLengths(*xcopy, f);
    // The paste target keeps its place in time on either lane.
    if (pastex.size() >= 2 && pastex[0] != 0 && pastex[1] != 0) pastex[0] *= f;
    for (DragCanvas* lane : {Canvas1, Canvas2}) {
        for (size_t i = 0; i < lane->mPics.size(); ++i) {
            DragPic& c = *lane->mPics[i];
            // The visible centre follows the absolute one, so clips stay where the ruler says
            // at any scroll position.
            c.porgx *= f;
            c.x = c.porgx - scrollwert;
            scaleClipLengths(c, f);
            c.pplaypos *= f;
            c.ppreviewpos *= f;
            c.image =
                zeichnetrack(c.pname, c.pdauer, c.pfadein, c.pfadeout, c.pstart, c.pstop, c.pfarbe);
        }
    }
    Canvas1->versteckebalken();
    Canvas2->versteckebalken();
    Canvas1->aktualisiere();
    Canvas2->aktualisiere();
}
