#include "platform/menu.h"

#include <QMenu>

namespace platform {

void MenuItem::setText(const QString& t) {
    text_ = t;
    for (auto& a : actions_) {
        if (a) a->setText(t);
    }
}

void MenuItem::setKeyboardShortcut(const QString& s) {
    shortcut_ = s;
    for (auto& a : actions_) {
        if (a) a->setShortcut(keySequence());
    }
}

void MenuItem::setEnabled(bool e) { enabled_ = e; }

void MenuItem::Append(std::unique_ptr<MenuItem> child) {
    child->parent_ = this;
    children_.push_back(std::move(child));
}

MenuItem* MenuItem::Child(const QString& name) const {
    for (const auto& c : children_) {
        if (c->Name == name) return c.get();
    }
    return nullptr;
}

MenuItem* MenuItem::_Lookup(const QString& name) {
    for (auto& c : children_) {
        if (c->Name == name) return c.get();
        if (MenuItem* found = c->_Lookup(name)) return found;
    }
    return nullptr;
}

MenuItem* MenuItem::Item(int i) const {
    return i >= 0 && i < Count() ? children_[i].get() : nullptr;
}

QKeySequence MenuItem::keySequence() const {
    if (!shortcut_.startsWith(QLatin1String("Cmd+"))) return QKeySequence();
    return QKeySequence(QStringLiteral("Ctrl+") + shortcut_.mid(4));
}

QMenuBar* MenuBar::build(QWidget* parent) {
    auto* bar = new QMenuBar(parent);
    bar->setNativeMenuBar(false);  // the bar belongs to the window, above its content
    for (auto& title : children_) {
        QMenu* menu = bar->addMenu(title->Text());
        buildMenu(menu, *title);
    }
    return bar;
}

void MenuBar::buildMenu(QMenu* menu, MenuItem& title) {
    for (auto& child : title.children_) {
        MenuItem* item = child.get();
        if (item->isSeparator()) {
            menu->addSeparator();
            continue;
        }
        QAction* a = menu->addAction(item->Text());
        a->setShortcut(item->keySequence());
        a->setShortcutContext(Qt::WindowShortcut);
        // Qt would move these into an application menu on some desktops; keep them where they are.
        a->setMenuRole(QAction::NoRole);
        item->actions_.push_back(a);
        QObject::connect(a, &QAction::triggered, a, [this, item] {
            if (onEnablePass) onEnablePass();
            if (item->Enabled() && onChoose) onChoose(*item);
        });
    }
    // The pass sets what the open menu shows; afterwards every action stays live so shortcuts
    // reach the dispatch, which runs the pass again and ignores items that are disabled.
    QObject::connect(menu, &QMenu::aboutToShow, menu, [this, &title] {
        if (onEnablePass) onEnablePass();
        for (auto& c : title.children_) {
            for (auto& a : c->actions_) {
                if (a) a->setEnabled(c->enabled_);
            }
        }
    });
    QObject::connect(menu, &QMenu::aboutToHide, menu, [&title] {
        for (auto& c : title.children_) {
            for (auto& a : c->actions_) {
                if (a) a->setEnabled(true);
            }
        }
    });
    for (auto& c : title.children_) {
        for (auto& a : c->actions_) {
            if (a) a->setEnabled(true);
        }
    }
}

}  // namespace platform
