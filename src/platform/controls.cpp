#include "platform/controls.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QTextDocument>
#include <QTextOption>

namespace platform {

// ---- StaticText ------------------------------------------------------------------------------

StaticText::StaticText(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

StaticText::StaticText(QWidget* parent, const QRect& bounds, const QString& text,
                       const QColor& color, int size)
    : StaticText(parent) {
    setGeometry(bounds);
    setText(text);
    setTextColor(color);
    setTextSize(size);
}

void StaticText::setText(const QString& t) {
    if (t == text_) return;
    text_ = t;
    fitChanged();
}

void StaticText::setTextColor(const QColor& c) {
    color_ = c;
    update();
}

void StaticText::setTextSize(int s) {
    size_ = s;
    fitChanged();
}

void StaticText::setBold(bool b) {
    bold_ = b;
    fitChanged();
}

void StaticText::setAlignment(Qt::Alignment a) {
    align_ = a;
    update();
}

void StaticText::setMultiLine(bool m) {
    multiLine_ = m;
    fitChanged();
}

void StaticText::setShrinkToFit(bool s) {
    shrinkToFit_ = s;
    fitChanged();
}

void StaticText::setClickable(bool clickable) {
    clickable_ = clickable;
    fitChanged();
}

void StaticText::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    fitChanged();
}

// A cut text shows the whole one as its tooltip (plain text: names may hold markup characters);
// to be hovered it takes the pointer, and still passes presses on.
void StaticText::fitChanged() {
    const bool cut = shownText() != text_;
    setToolTip(cut ? Qt::convertFromPlainText(text_, Qt::WhiteSpaceNormal) : QString());
    setAttribute(Qt::WA_TransparentForMouseEvents, !clickable_ && !cut);
    update();
}

QFont StaticText::fittedFont() const {
    QFont font = controlFont(size_, bold_);
    if (!shrinkToFit_) return font;
    constexpr int kSmallestPixels = 8;
    QString lines = text_;
    if (multiLine_) {
        lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    }
    const auto fits = [&](const QFont& f) {
        const QFontMetrics m(f);
        if (!multiLine_) return m.horizontalAdvance(text_) <= width();
        return m.boundingRect(rect(), Qt::TextWrapAnywhere, lines).height() <= height();
    };
    while (font.pixelSize() > kSmallestPixels && !fits(font)) {
        font.setPixelSize(font.pixelSize() - 1);
    }
    return font;
}

QString StaticText::shownText() const {
    if (multiLine_) return text_;
    return QFontMetrics(fittedFont()).elidedText(text_, Qt::ElideRight, width());
}

void StaticText::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || !clickable_) {
        e->ignore();
        return;
    }
    emit clicked();
}

void StaticText::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setFont(fittedFont());
    p.setPen(color_);
    // Plain text only: status messages may carry file names with markup characters.
    if (!multiLine_) {
        p.drawText(rect(), align_ | Qt::AlignVCenter | Qt::TextSingleLine, shownText());
        return;
    }
    QString lines = text_;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    // Words wrap; a word longer than the line (a file address) breaks where it must.
    QTextOption option(align_ | Qt::AlignTop);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    p.drawText(QRectF(rect()), lines, option);
}

// ---- Line ------------------------------------------------------------------------------------

Line::Line(QWidget* parent, QColor color) : QWidget(parent), color_(color) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Line::setPoints(int x1, int y1, int x2, int y2) {
    // A head is placed on every tick but moves to another pixel far less often: an unmoved line
    // is not drawn again, nor is anything under it.
    if (placed_ && x1 == x1_ && y1 == y1_ && x2 == x2_ && y2 == y2_) return;
    placed_ = true;
    x1_ = x1, y1_ = y1, x2_ = x2, y2_ = y2;
    // A line whose ends differ by one pixel across its length is drawn straight, as the
    // framework draws the guide lines under the lanes.
    const int left = std::min(x1, x2), top = std::min(y1, y2);
    setGeometry(left, top, std::abs(x2 - x1) + 1, std::abs(y2 - y1) + 1);
    update();
}

void Line::setLineColor(const QColor& c) {
    color_ = c;
    update();
}

void Line::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(color_, 1));
    const int left = std::min(x1_, x2_), top = std::min(y1_, y2_);
    p.drawLine(x1_ - left, y1_ - top, x2_ - left, y2_ - top);
}

// ---- Separator -------------------------------------------------------------------------------

Separator::Separator(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Separator::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(128, 128, 128));
}

// ---- BorderedRectangle ------------------------------------------------------------------------

BorderedRectangle::BorderedRectangle(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void BorderedRectangle::setFillColor(const QColor& c) {
    fill_ = c;
    update();
}

void BorderedRectangle::setBorderColors(const QColor& topLeft, const QColor& bottomRight) {
    topLeft_ = topLeft, bottomRight_ = bottomRight;
    update();
}

void BorderedRectangle::setBorderWidth(int w) {
    border_ = w;
    update();
}

void BorderedRectangle::paintEvent(QPaintEvent*) {
    if (width() <= 0 || height() <= 0) return;
    QPainter p(this);
    p.fillRect(rect(), fill_);
    if (border_ > 0) {
        p.fillRect(0, 0, width(), border_, topLeft_);
        p.fillRect(0, 0, border_, height(), topLeft_);
        p.fillRect(0, height() - border_, width(), border_, bottomRight_);
        p.fillRect(width() - border_, 0, border_, height(), bottomRight_);
    }
}

// ---- FlatButton ------------------------------------------------------------------------------

FlatButton::FlatButton(QWidget* parent) : QWidget(parent) {}

void FlatButton::setPicture(model::PictureRef p) {
    picture_ = std::move(p);
    update();
}

void FlatButton::setCaption(const QString& c) {
    caption_ = c;
    update();
}

void FlatButton::setTextSize(int s) {
    textSize_ = s;
    update();
}

void FlatButton::setCaptionAlignment(Qt::Alignment a) {
    alignment_ = a;
    update();
}

void FlatButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QColor face = pressed_ ? QColor(200, 200, 200) : QColor(236, 236, 236);
    p.fillRect(rect(), face);
    p.setPen(QColor(150, 150, 150));
    p.drawRect(0, 0, width() - 1, height() - 1);
    if (picture_ && !picture_->isNull()) {
        const QImage& img = picture_->image();
        p.drawImage((width() - img.width()) / 2, (height() - img.height()) / 2, img);
    }
    // The menu arrow sits in its own strip at the right edge; the caption keeps left of it,
    // in smaller type when it would not fit.
    constexpr int kArrowStrip = 9;
    if (!caption_.isEmpty()) {
        const QRect room = rect().adjusted(2, 0, menu_ ? -kArrowStrip - 1 : -2, 0);
        QFont font = controlFont(textSize_, false);
        while (font.pixelSize() > 7 &&
               QFontMetrics(font).horizontalAdvance(caption_) > room.width())
            font.setPixelSize(font.pixelSize() - 1);
        p.setFont(font);
        p.setPen(Qt::black);
        p.setClipRect(room);
        p.drawText(room, Qt::AlignVCenter | Qt::TextSingleLine | alignment_, caption_);
        p.setClipping(false);
    }
    if (menu_) {
        p.setPen(Qt::black);
        p.setBrush(Qt::black);
        const int cx = width() - kArrowStrip / 2 - 1, cy = height() / 2;
        p.drawPolygon(
            QPolygon({QPoint(cx - 2, cy - 1), QPoint(cx + 2, cy - 1), QPoint(cx, cy + 1)}));
    }
}

void FlatButton::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    if (menu_ && !menu_->isEmpty()) {
        menu_->exec(mapToGlobal(QPoint(0, height())));
        return;
    }
    pressed_ = true;
    update();
}

void FlatButton::mouseReleaseEvent(QMouseEvent* e) {
    if (!pressed_) return;
    pressed_ = false;
    update();
    if (rect().contains(e->position().toPoint())) emit clicked();
}

}  // namespace platform
