#pragma once
// The menu model: a tree of named items, shown through Qt menu bars. Items are found and bound
// to handlers by name; the enable pass decides which items can be chosen.

#include <QAction>
#include <QMenuBar>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace platform {

enum class MenuKind { Normal, Quit, Prefs, Apple };

class MenuItem {
  public:
    explicit MenuItem(MenuKind kind = MenuKind::Normal) : kind_(kind) {}
    virtual ~MenuItem() = default;
    MenuItem(const MenuItem&) = delete;
    MenuItem& operator=(const MenuItem&) = delete;

    QString Name;
    bool AutoEnable = false;
    QString Text() const { return text_; }
    void setText(const QString& t);
    QString KeyboardShortcut() const { return shortcut_; }
    void setKeyboardShortcut(const QString& s);
    MenuKind kind() const { return kind_; }
    bool isSeparator() const { return text_ == QLatin1String("-"); }

    // Whether the item can be chosen now; set by the enable pass.
    bool Enabled() const { return enabled_; }
    void setEnabled(bool e);
    void Enable() { setEnabled(true); }

    void Append(std::unique_ptr<MenuItem> child);
    MenuItem* Child(const QString& name) const;  // direct child by name
    MenuItem* _Lookup(const QString& name);      // anywhere below, by name
    int Count() const { return static_cast<int>(children_.size()); }
    MenuItem* Item(int i) const;
    MenuItem* parent() const { return parent_; }
    template <class F>
    void forEach(F&& f) {
        for (auto& c : children_) {
            f(*c);
            c->forEach(f);
        }
    }

    // Qt's shortcut for "Cmd+X": Ctrl+X.
    QKeySequence keySequence() const;

  private:
    friend class MenuBar;
    MenuKind kind_;
    QString text_, shortcut_;
    bool enabled_ = true;
    MenuItem* parent_ = nullptr;
    std::vector<std::unique_ptr<MenuItem>> children_;
    std::vector<QPointer<QAction>> actions_;
};

class MenuBar : public MenuItem {
  public:
    MenuBar() = default;
    // Builds a Qt menu bar showing this model. Choosing an item calls onChoose with it.
    QMenuBar* build(QWidget* parent);
    std::function<void(MenuItem&)> onChoose;
    // Runs before a menu is shown and before a chosen item is dispatched.
    std::function<void()> onEnablePass;

  private:
    void buildMenu(QMenu* menu, MenuItem& title);
};

}  // namespace platform
