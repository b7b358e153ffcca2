#include "platform/picture.h"

#include <QFontMetrics>

namespace platform {

Picture::Picture(int width, int height)
    : image_(width > 0 ? width : 1, height > 0 ? height : 1, QImage::Format_ARGB32_Premultiplied) {
    if (!image_.isNull()) image_.fill(Qt::transparent);
}

Picture::Picture(QImage image) : image_(std::move(image)) {}

Graphics::Graphics(QPaintDevice* device) : painter_(device) {
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::TextAntialiasing, false);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);
}

Graphics::~Graphics() = default;

void Graphics::setTextFont(const QString& family, int pointSize, bool bold) {
    QFont f;  // the application's font unless a family is named
    if (!family.isEmpty()) f.setFamily(family);
    f.setPixelSize(pointSize > 0 ? pointSize : 1);
    f.setBold(bold);
    f.setStyleStrategy(QFont::NoAntialias);
    painter_.setFont(f);
}

void Graphics::DrawLine(int x1, int y1, int x2, int y2) {
    painter_.setPen(QPen(color_, 1));
    painter_.drawLine(x1, y1, x2, y2);
}

void Graphics::DrawRoundRect(int x, int y, int w, int h, int cornerW, int cornerH) {
    if (w <= 0 || h <= 0) return;
    painter_.setPen(QPen(color_, 1));
    painter_.setBrush(Qt::NoBrush);
    painter_.drawRoundedRect(QRect(x, y, w - 1, h - 1), cornerW / 2.0, cornerH / 2.0,
                             Qt::AbsoluteSize);
}

void Graphics::DrawWrappedString(const QString& text, int x, int baselineY, int wrapWidth) {
    if (wrapWidth <= 0) return;
    painter_.setPen(QPen(color_, 1));
    const int ascent = QFontMetrics(painter_.font()).ascent();
    painter_.drawText(QRect(x, baselineY - ascent, wrapWidth, 4096),
                      Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
}

void Graphics::FillRect(int x, int y, int w, int h) {
    if (w <= 0 || h <= 0) return;
    painter_.fillRect(x, y, w, h, color_);
}

void Graphics::DrawPicture(const Picture& picture, int x, int y) {
    if (!picture.isNull()) painter_.drawImage(x, y, picture.image());
}

void Graphics::DrawPicture(const Picture& picture, int x, int y, int srcX, int srcY, int w, int h) {
    if (!picture.isNull() && w > 0 && h > 0)
        painter_.drawImage(x, y, picture.image(), srcX, srcY, w, h);
}

void Graphics::ClearRect(int x, int y, int w, int h) {
    if (w <= 0 || h <= 0) return;
    auto mode = painter_.compositionMode();
    painter_.setCompositionMode(QPainter::CompositionMode_Source);
    painter_.fillRect(x, y, w, h, Qt::transparent);
    painter_.setCompositionMode(mode);
}

}  // namespace platform
