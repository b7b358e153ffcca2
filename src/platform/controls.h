#pragma once
// The kinds of control the program's windows are built from.

#include <QColor>
#include <QMenu>
#include <QStringList>
#include <vector>

#include "model/picture.h"
#include "model/status_line.h"
#include "platform/fonts.h"

namespace platform {

// A text that lets presses through unless it is clickable; a one-line text too long for
// its width shows its start and "…", the whole text then its tooltip.
class StaticText : public QWidget {
    Q_OBJECT
  public:
    explicit StaticText(QWidget* parent);
    // A text at its place, in its colour and layout text size.
    StaticText(QWidget* parent, const QRect& bounds, const QString& text, const QColor& color,
               int size);
    QString text() const { return text_; }
    void setText(const QString& t);
    QColor textColor() const { return color_; }
    void setTextColor(const QColor& c);
    void setTextSize(int s);
    void setBold(bool b);
    // The horizontal alignment: left unless told otherwise.
    void setAlignment(Qt::Alignment horizontal);
    // Several lines: carriage returns and line feeds break lines, long lines wrap.
    void setMultiLine(bool m);
    // A text laid out for narrower type than this desktop's: its font shrinks until the text fits
    // (one line: its width; several: its height) rather than losing its end.
    void setShrinkToFit(bool s);

    // A clickable text takes presses instead of letting them through, and says so by clicked().
    void setClickable(bool clickable);

    // What one line shows: the text, or its start and "…" when it is too long for the width; the
    // whole text is then the tooltip.
    QString shownText() const;

  signals:
    void clicked();

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

  private:
    QFont fittedFont() const;
    void fitChanged();

    QString text_;
    QColor color_{Qt::black};
    int size_ = 9;
    bool bold_ = false;
    Qt::Alignment align_ = Qt::AlignLeft;
    bool multiLine_ = false;
    bool shrinkToFit_ = false;
    bool clickable_ = false;
};

// The window's status line: the text every command and view shows its message in.
class StatusLineText : public StaticText, public model::StatusLine {
  public:
    using StaticText::StaticText;
    void showMessage(const QString& text) override { setText(text); }
    QString text() const override { return StaticText::text(); }
};

// A line between two points of its parent; the widget covers their bounding box and lets
// presses through to what lies below.
class Line : public QWidget {
    Q_OBJECT
  public:
    Line(QWidget* parent, QColor color);
    int x1() const { return x1_; }
    int y1() const { return y1_; }
    int x2() const { return x2_; }
    int y2() const { return y2_; }
    void setPoints(int x1, int y1, int x2, int y2);
    QColor lineColor() const { return color_; }
    void setLineColor(const QColor& c);

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    int x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
    bool placed_ = false;  // the widget's rectangle follows the ends
    QColor color_;
};

// A grey filled bar (the ruler's line and ticks, a head's mark); lets presses through.
class Separator : public QWidget {
    Q_OBJECT
  public:
    explicit Separator(QWidget* parent);

  protected:
    void paintEvent(QPaintEvent*) override;
};

// A filled rectangle with a border, light on its top and left, dark on its bottom and right;
// lets presses through.
class BorderedRectangle : public QWidget {
    Q_OBJECT
  public:
    explicit BorderedRectangle(QWidget* parent);
    void setFillColor(const QColor& c);
    void setBorderColors(const QColor& topLeft, const QColor& bottomRight);
    void setBorderWidth(int w);

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    QColor fill_{Qt::white}, topLeft_{Qt::black}, bottomRight_{Qt::black};
    int border_ = 1;
};

// A flat button showing a picture or a caption; clicked once let go over it. With a menu, a press
// pops the menu up below it instead (its arrow drawn at the right edge).
class FlatButton : public QWidget {
    Q_OBJECT
  public:
    explicit FlatButton(QWidget* parent);
    model::PictureRef picture() const { return picture_; }
    void setPicture(model::PictureRef p);
    QString caption() const { return caption_; }
    void setCaption(const QString& c);
    void setTextSize(int s);
    void setCaptionAlignment(Qt::Alignment a);
    QMenu* menu() const { return menu_; }
    void setMenu(QMenu* menu) { menu_ = menu; }
    void click() { emit clicked(); }

  signals:
    void clicked();

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

  private:
    model::PictureRef picture_;
    QString caption_;
    int textSize_ = 10;
    Qt::Alignment alignment_ = Qt::AlignHCenter;
    QMenu* menu_ = nullptr;
    bool pressed_ = false;
};

}  // namespace platform
