#include "shell/menu.h"

#include <memory>

using platform::MenuItem;
using platform::MenuKind;

namespace {

struct Row {
    const char* name;
    const char* text;
    const char* shortcut;  // nullptr: not set
    MenuKind kind;
    bool autoEnable;
    const char* parent;  // nullptr: the bar
};

// File, Edit and Extras, in the order the menus show them.
constexpr Row kRows[] = {
    {"UntitledMenu2", "File", "", MenuKind::Normal, false, nullptr},
    {"FileQuit", "Quit", "Cmd+Q", MenuKind::Quit, true, "UntitledMenu2"},
    {"menunew", "New Window", "Cmd+N", MenuKind::Normal, true, "UntitledMenu2"},
    {"UntitledMenu4", "-", nullptr, MenuKind::Normal, true, "UntitledMenu2"},
    {"menuopen", "Open Playlist", "Cmd+O", MenuKind::Normal, true, "UntitledMenu2"},
    {"openfolder", "Open Folder", "", MenuKind::Normal, true, "UntitledMenu2"},
    {"UntitledMenu3", "-", nullptr, MenuKind::Normal, true, "UntitledMenu2"},
    {"menusave", "Save Playlist", "Cmd+S", MenuKind::Normal, true, "UntitledMenu2"},
    {"menusaveas", "Save Playlist as", "", MenuKind::Normal, true, "UntitledMenu2"},
    {"UntitledMenu0", "Edit", "", MenuKind::Normal, false, nullptr},
    {"EditUndo", "Undo", "Cmd+Z", MenuKind::Normal, false, "UntitledMenu0"},
    {"UntitledMenu1", "-", nullptr, MenuKind::Normal, false, "UntitledMenu0"},
    {"EditCut", "Cut", "Cmd+X", MenuKind::Normal, false, "UntitledMenu0"},
    {"EditCopy", "Copy", "Cmd+C", MenuKind::Normal, false, "UntitledMenu0"},
    {"EditPaste", "Paste", "Cmd+V", MenuKind::Normal, false, "UntitledMenu0"},
    {"EditClear", "Clear", "", MenuKind::Normal, false, "UntitledMenu0"},
    {"EditPreferences", "Preferences", "", MenuKind::Prefs, false, "UntitledMenu0"},
    {"mode", "Extras", "", MenuKind::Normal, false, nullptr},
    {"menuplay", "Play", "Cmd+P", MenuKind::Normal, true, "mode"},
    {"menupreview", "Preview", "", MenuKind::Normal, true, "mode"},
    {"ExtrasDropPreview", "Drop Preview", "Cmd+D", MenuKind::Normal, true, "mode"},
    {"aboutme", "About Vontalix", "", MenuKind::Apple, true, "mode"},
};

}  // namespace

Menu::Menu() {
    for (const Row& row : kRows) {
        auto item = std::make_unique<MenuItem>(row.kind);
        item->Name = QString::fromLatin1(row.name);
        item->AutoEnable = row.autoEnable;
        item->setText(QString::fromLatin1(row.text));
        if (row.shortcut) item->setKeyboardShortcut(QString::fromLatin1(row.shortcut));
        if (!row.parent) {
            Append(std::move(item));
        } else if (MenuItem* parent = Child(QString::fromLatin1(row.parent))) {
            parent->Append(std::move(item));
        }
    }
}

Menu* Menu::instance() {
    static std::unique_ptr<Menu> bar;
    if (!bar) bar = std::make_unique<Menu>();
    return bar.get();
}

#include "shell/app.h"

namespace {
MenuItem* appItem(const char* name) {
    App* app = App::instance();
    if (!app || !app->MenuBar()) return nullptr;
    return app->MenuBar()->_Lookup(QString::fromLatin1(name));
}
}  // namespace

MenuItem* clearItem() { return appItem("EditClear"); }
MenuItem* copyItem() { return appItem("EditCopy"); }
MenuItem* cutItem() { return appItem("EditCut"); }
