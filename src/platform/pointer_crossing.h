#pragma once
// Which enter events of a widget are the pointer crossing into it. The window system also sends
// an enter when whatever covered the widget goes away while the pointer rests over it: a dialog
// or a menu closing, a drag ending. Those are not crossings.

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QWindow>
#include <vector>

class QWidget;

namespace platform {

// What one report of the pointer says about a watched widget.
enum class PointerReport {
    Moved,    // the mouse moved or came over the widget's own window
    Covered,  // seen over something above that window (a dialog, a menu) or carrying a drag
    Left,     // it left the widget's window for a place outside it
};

// One widget's view of the pointer: whether it is over the widget, and whether it crossed in
// since the widget last took an enter.
class PointerCrossing {
  public:
    void report(PointerReport report, bool overWidget);
    // True once per crossing: the pointer came over the widget by moving there.
    bool takeCrossing();

  private:
    bool over_ = false;
    bool crossed_ = false;
};

// Follows the pointer reports of every window of the program for the widgets it watches.
class PointerWatcher : public QObject {
  public:
    static PointerWatcher& instance();  // owned by the application object
    void watch(QWidget* widget, PointerCrossing* crossing);
    void unwatch(QWidget* widget);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    using QObject::QObject;
    void seen(QWindow* window, QPoint global, PointerReport ownWindowReport);
    void left(QWindow* window);

    struct Watched {
        QWidget* widget;
        PointerCrossing* crossing;
    };
    std::vector<Watched> watched_;
    // Windows that lost the pointer to something opening over it: the enter that follows once
    // it has gone is no crossing.
    std::vector<QPointer<QWindow>> covered_;
    // Where the pointer rested when each window appeared, until the window first sees it move:
    // a window opening under a resting pointer gets an enter that is no crossing either.
    struct Appeared {
        QPointer<QWindow> window;
        QPoint pointer;
    };
    std::vector<Appeared> appeared_;
    bool appearedUnderPointer(QWindow* window, QPoint global);
    void forgetAppeared(QWindow* window);
};

}  // namespace platform
