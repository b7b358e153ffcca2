#include "platform/pointer_crossing.h"

#include <QApplication>
#include <QCursor>
#include <QDropEvent>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace platform {

void PointerCrossing::report(PointerReport report, bool overWidget) {
    switch (report) {
        case PointerReport::Moved:
            if (overWidget && !over_) crossed_ = true;
            break;
        case PointerReport::Covered:
            // Over a dialog or a menu above the widget, or dragging, the pointer gets there
            // without the widget seeing it come.
            break;
        case PointerReport::Left:
            overWidget = false;
            break;
    }
    if (!overWidget) crossed_ = false;
    over_ = overWidget;
}

bool PointerCrossing::takeCrossing() {
    const bool crossed = crossed_;
    crossed_ = false;
    return crossed;
}

PointerWatcher& PointerWatcher::instance() {
    static QPointer<PointerWatcher> watcher;
    if (!watcher) {
        watcher = new PointerWatcher(QCoreApplication::instance());
        if (QCoreApplication::instance()) QCoreApplication::instance()->installEventFilter(watcher);
    }
    return *watcher;
}

void PointerWatcher::watch(QWidget* widget, PointerCrossing* crossing) {
    watched_.push_back({widget, crossing});
}

void PointerWatcher::unwatch(QWidget* widget) {
    std::erase_if(watched_, [widget](const Watched& w) { return w.widget == widget; });
}

bool PointerWatcher::eventFilter(QObject* watched, QEvent* event) {
    if (!watched->isWindowType() || watched_.empty()) return false;
    auto* window = static_cast<QWindow*>(watched);
    const auto wasCovered = [this, window] {
        return std::erase_if(covered_, [window](const auto& w) { return !w || w == window; }) > 0;
    };
    switch (event->type()) {
        case QEvent::Show:
            forgetAppeared(window);
            appeared_.push_back({window, QCursor::pos()});
            break;
        case QEvent::MouseMove:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
            wasCovered();
            forgetAppeared(window);
            seen(window, static_cast<QMouseEvent*>(event)->globalPosition().toPoint(),
                 PointerReport::Moved);
            break;
        case QEvent::Enter: {
            const QPoint global = static_cast<QEnterEvent*>(event)->globalPosition().toPoint();
            const bool covered = wasCovered();
            const PointerReport report = covered || appearedUnderPointer(window, global)
                                             ? PointerReport::Covered
                                             : PointerReport::Moved;
            seen(window, global, report);
            break;
        }
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            seen(window, window->mapToGlobal(static_cast<QDropEvent*>(event)->position().toPoint()),
                 PointerReport::Covered);
            break;
        case QEvent::Leave:
            forgetAppeared(window);
            // A window is also left when a dialog or a menu opens over the pointer; only a
            // pointer outside the window has gone.
            wasCovered();
            if (window->frameGeometry().contains(QCursor::pos())) {
                covered_.emplace_back(window);
            } else {
                left(window);
            }
            break;
        default:
            break;
    }
    return false;
}

void PointerWatcher::forgetAppeared(QWindow* window) {
    std::erase_if(appeared_,
                  [window](const Appeared& a) { return !a.window || a.window == window; });
}

bool PointerWatcher::appearedUnderPointer(QWindow* window, QPoint global) {
    const auto it = std::find_if(appeared_.begin(), appeared_.end(),
                                 [window](const Appeared& a) { return a.window == window; });
    if (it == appeared_.end()) return false;
    const bool resting = it->pointer == global;
    appeared_.erase(it);
    return resting;
}

void PointerWatcher::seen(QWindow* window, QPoint global, PointerReport ownWindowReport) {
    // While a menu is open it takes every report of the pointer, wherever the pointer is.
    const QWidget* popup = QApplication::activePopupWidget();
    for (const Watched& w : watched_) {
        QWidget* top = w.widget->window();
        QWidget* under = top->isVisible() ? top->childAt(top->mapFromGlobal(global)) : nullptr;
        const bool over = under && (under == w.widget || w.widget->isAncestorOf(under));
        const bool own = top->windowHandle() == window && (!popup || popup == top);
        w.crossing->report(own ? ownWindowReport : PointerReport::Covered, over);
    }
}

void PointerWatcher::left(QWindow* window) {
    for (const Watched& w : watched_) {
        if (w.widget->window()->windowHandle() == window)
            w.crossing->report(PointerReport::Left, false);
    }
}

}  // namespace platform
