#pragma once
// Controls of a window: each has a name and a rectangle in window coordinates. Controls that are
// "hidden" are moved off the window, so positions may be negative or lie below the window.

#include <QFont>
#include <QString>
#include <QWidget>

namespace platform {

class Window;

// The font of control texts at a layout text size (0 = the default size).
QFont controlFont(int size, bool bold = false);

class Control : public QWidget {
    Q_OBJECT
  public:
    Control(QWidget* parent, const QString& name);

    QString Name() const { return objectName(); }
    int Left() const { return x(); }
    int Top() const { return y(); }
    int Width() const { return width(); }
    int Height() const { return height(); }
    // Moving to where it stands costs nothing: the heads place their controls on every tick.
    virtual void setLeft(int v) {
        if (v != x()) move(v, y());
    }
    virtual void setTop(int v) {
        if (v != y()) move(x(), v);
    }
    virtual void setWidth(int v) { resize(v < 0 ? 0 : v, height()); }
    virtual void setHeight(int v) { resize(width(), v < 0 ? 0 : v); }
    void setBounds(int left, int top, int w, int h);

    QString HelpTag() const { return toolTip(); }
    void setHelpTag(const QString& t) { setToolTip(t); }

    // Lines, separators, static texts and rectangles let presses through to what lies below.
    void setPassive(bool passive);

    // Raised once after every control of the window exists.
    virtual void Open() {}

    Window* window_() const;
};

}  // namespace platform
