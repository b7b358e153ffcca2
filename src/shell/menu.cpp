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
    {"fileMenu", "File", "", MenuKind::Normal, false, nullptr},
    {"quitItem", "Quit", "Cmd+Q", MenuKind::Quit, true, "fileMenu"},
    {"newItem", "New Window", "Cmd+N", MenuKind::Normal, true, "fileMenu"},
    {"fileSeparator1", "-", nullptr, MenuKind::Normal, true, "fileMenu"},
    {"openItem", "Open Playlist", "Cmd+O", MenuKind::Normal, true, "fileMenu"},
    {"openFolderItem", "Open Folder", "", MenuKind::Normal, true, "fileMenu"},
    {"fileSeparator2", "-", nullptr, MenuKind::Normal, true, "fileMenu"},
    {"saveItem", "Save Playlist", "Cmd+S", MenuKind::Normal, true, "fileMenu"},
    {"saveAsItem", "Save Playlist as", "", MenuKind::Normal, true, "fileMenu"},
    {"editMenu", "Edit", "", MenuKind::Normal, false, nullptr},
    {"undoItem", "Undo", "Cmd+Z", MenuKind::Normal, false, "editMenu"},
    {"editSeparator", "-", nullptr, MenuKind::Normal, false, "editMenu"},
    {"cutItem", "Cut", "Cmd+X", MenuKind::Normal, false, "editMenu"},
    {"copyItem", "Copy", "Cmd+C", MenuKind::Normal, false, "editMenu"},
    {"pasteItem", "Paste", "Cmd+V", MenuKind::Normal, false, "editMenu"},
    {"clearItem", "Clear", "", MenuKind::Normal, false, "editMenu"},
    {"preferencesItem", "Preferences", "", MenuKind::Prefs, false, "editMenu"},
    {"extrasMenu", "Extras", "", MenuKind::Normal, false, nullptr},
    {"playItem", "Play", "Cmd+P", MenuKind::Normal, true, "extrasMenu"},
    {"previewItem", "Preview", "", MenuKind::Normal, true, "extrasMenu"},
    {"dropPreviewItem", "Drop Preview", "Cmd+D", MenuKind::Normal, true, "extrasMenu"},
    {"aboutItem", "About Vontalix", "", MenuKind::Apple, true, "extrasMenu"},
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

MenuItem* clearItem() { return appItem("clearItem"); }
MenuItem* copyItem() { return appItem("copyItem"); }
MenuItem* cutItem() { return appItem("cutItem"); }
