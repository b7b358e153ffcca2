// A clip's picture: light bands, darker trimmed ends, the fade envelope, a rounded outline and
// the name in the colour of the file's label.
#include "model/clip_picture.h"

#include <QColor>
#include <algorithm>

#include "model/numtext.h"

namespace {

// Colours of the file labels 1-7 as file managers show them; 0 (no label) is black.
QColor labelColor(int32_t label) {
    static const QColor kColors[8] = {
        QColor(0, 0, 0),     QColor(128, 128, 128), QColor(0, 160, 0),   QColor(150, 60, 180),
        QColor(30, 90, 220), QColor(200, 170, 0),   QColor(220, 30, 30), QColor(240, 130, 0)};
    return label >= 0 && label <= 7 ? kColors[label] : QColor(0, 0, 0);
}

}  // namespace

namespace model {

void drawClipPicture(model::Graphics& g, const ClipPictureSpec& c) {
    const int w = c.width;
    g.clearRect(0, 0, w, 33);
    g.setColor(QColor(250, 250, 250));
    g.fillRect(0, 0, w, 16);
    g.setColor(QColor(240, 240, 240));
    g.fillRect(0, 16, w, 16);
    g.setColor(QColor(150, 150, 150));
    g.drawLine(c.start, 31, c.fadeInEnd, 16);
    g.setColor(QColor(220, 220, 220));
    g.fillRect(0, 0, c.start, 32);
    g.setColor(QColor(150, 150, 150));
    g.drawLine(c.fadeOutStart, 16, c.stop, 31);
    g.drawLine(c.fadeInEnd, 16, c.fadeOutStart, 16);
    g.setColor(QColor(220, 220, 220));
    g.fillRect(c.stop, 0, w, 32);
    g.setColor(QColor(200, 200, 200));
    g.drawRoundRect(0, 0, w, 31, 2, 2);
    g.drawRoundRect(0, 0, w, 31, 4, 4);
    g.drawRoundRect(0, 0, w, 31, 8, 8);
    g.setColor(c.nameColor);
    g.setFont(QString(), 10);
    g.drawWrappedText(c.name, 4, 14, w);
}

model::PictureRef makeClipPicture(const ClipPictureSpec& spec) {
    auto picture = std::make_shared<model::Picture>(
        spec.width, kClipPictureHeight, [spec](model::Graphics& g) { drawClipPicture(g, spec); });
    // The two bands fill every pixel; what follows only paints over them.
    picture->setOpaque(true);
    return picture;
}

}  // namespace model

model::PictureRef model::clipPicture(const QString& name, double duration, double fadeInEnd,
                                     double fadeOutStart, double start, double stop,
                                     int32_t label) {
    model::ClipPictureSpec spec;
    spec.name = name;
    spec.nameColor = labelColor(label);
    // Even the shortest clip gets a picture one pixel wide, so every clip can be drawn and hit.
    spec.width = std::max(1, whole(duration));
    spec.start = whole(start);
    spec.fadeInEnd = whole(fadeInEnd);
    spec.fadeOutStart = whole(fadeOutStart);
    spec.stop = whole(stop);
    model::PictureRef pic = model::makeClipPicture(spec);
    return pic && !pic->isNull() ? pic : nullptr;
}
