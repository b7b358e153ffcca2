// A clip's picture: light bands, darker trimmed ends, the fade envelope, a rounded outline and
// the name in the colour of the file's label.
#include <QColor>

#include "platform/dialogs.h"
#include "platform/numtext.h"
#include "shell/window1.h"

namespace {

// Colours of the file labels 1-7 as file managers show them; 0 (no label) is black.
QColor labelColor(int32_t label) {
    static const QColor kColors[8] = {
        QColor(0, 0, 0),     QColor(128, 128, 128), QColor(0, 160, 0),   QColor(150, 60, 180),
        QColor(30, 90, 220), QColor(200, 170, 0),   QColor(220, 30, 30), QColor(240, 130, 0)};
    return label >= 0 && label <= 7 ? kColors[label] : QColor(0, 0, 0);
}

}  // namespace

platform::PictureRef Window1::zeichnetrack(const QString& name, double duration, double fadein,
                                           double fadeout, double start, double stop,
                                           int32_t label) {
    const QColor nameColor = labelColor(label);
    // Even the shortest clip gets a picture one pixel wide, so every clip can be drawn and hit.
    const int w = std::max(1, whole(duration));
    auto pic = std::make_shared<platform::Picture>(w, 30);
    if (pic->isNull()) {
        platform::MsgBox(QStringLiteral(
            "Out of memory.  Please increase the RAM allocation to the IDE (or built app)."));
        return nullptr;
    }
    const int s = whole(start), fi = whole(fadein), fo = whole(fadeout), e = whole(stop);
    platform::Graphics g(*pic);
    g.ClearRect(0, 0, w, 33);
    g.setForeColor(QColor(250, 250, 250));
    g.FillRect(0, 0, w, 16);
    g.setForeColor(QColor(240, 240, 240));
    g.FillRect(0, 16, w, 16);
    g.setForeColor(QColor(150, 150, 150));
    g.DrawLine(s, 31, fi, 16);
    g.setForeColor(QColor(220, 220, 220));
    g.FillRect(0, 0, s, 32);
    g.setForeColor(QColor(150, 150, 150));
    g.DrawLine(fo, 16, e, 31);
    g.DrawLine(fi, 16, fo, 16);
    g.setForeColor(QColor(220, 220, 220));
    g.FillRect(e, 0, w, 32);
    g.setForeColor(QColor(200, 200, 200));
    g.DrawRoundRect(0, 0, w, 31, 2, 2);
    g.DrawRoundRect(0, 0, w, 31, 4, 4);
    g.DrawRoundRect(0, 0, w, 31, 8, 8);
    g.setForeColor(nameColor);
    g.setTextFont(QString(), 10);
    g.DrawWrappedString(name, 4, 14, w);
    return pic;
}
