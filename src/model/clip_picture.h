#pragma once
// A clip's picture as plain drawing code: the same steps draw it whole or one tile at a time.

#include <QColor>
#include <QString>
#include <cstdint>

#include "model/picture.h"

namespace model {

// What a clip's picture shows, in whole picture pixels.
struct ClipPictureSpec {
    QString name;
    int width = 1;
    int start = 0, fadeInEnd = 0, fadeOutStart = 0, stop = 0;
    QColor nameColor;
};

inline constexpr int kClipPictureHeight = 30;

// Draws the picture in its own coordinates onto any port (the whole picture or a tile of it).
void drawClipPicture(model::Graphics& g, const ClipPictureSpec& spec);

// A picture that draws itself for the parts that are shown; it holds no pixels of its own.
model::PictureRef makeClipPicture(const ClipPictureSpec& spec);

// The picture of a clip with these edit points (timeline pixels from its left edge) and file
// label; nullptr when it cannot be made.
model::PictureRef clipPicture(const QString& name, double duration, double fadeInEnd,
                              double fadeOutStart, double start, double stop, int32_t label);

}  // namespace model
