#include "shell/main_menu.h"

#include <QMainWindow>
#include <QMenuBar>

namespace {

QAction* addItem(QMenu* menu, const char* text, const char* shortcut = nullptr) {
    QAction* action = menu->addAction(QString::fromLatin1(text));
    if (shortcut) action->setShortcut(QKeySequence(QString::fromLatin1(shortcut)));
    action->setShortcutContext(Qt::WindowShortcut);
    // Qt would move some items into an application menu on some desktops; keep them in place.
    action->setMenuRole(QAction::NoRole);
    return action;
}

}  // namespace

MainMenu::MainMenu(QMainWindow* window) : QObject(window) {
    auto* bar = new QMenuBar(window);
    bar->setNativeMenuBar(false);  // the bar belongs to the window, above its content
    window->setMenuBar(bar);

    fileMenu = bar->addMenu(QStringLiteral("File"));
    quitAction = addItem(fileMenu, "Quit", "Ctrl+Q");
    newAction = addItem(fileMenu, "New Window", "Ctrl+N");
    fileMenu->addSeparator();
    openAction = addItem(fileMenu, "Open Playlist", "Ctrl+O");
    openFolderAction = addItem(fileMenu, "Open Folder");
    fileMenu->addSeparator();
    saveAction = addItem(fileMenu, "Save Playlist", "Ctrl+S");
    saveAsAction = addItem(fileMenu, "Save Playlist as");

    editMenu = bar->addMenu(QStringLiteral("Edit"));
    undoAction = addItem(editMenu, "Undo", "Ctrl+Z");
    editMenu->addSeparator();
    cutAction = addItem(editMenu, "Cut", "Ctrl+X");
    copyAction = addItem(editMenu, "Copy", "Ctrl+C");
    pasteAction = addItem(editMenu, "Paste", "Ctrl+V");
    clearAction = addItem(editMenu, "Clear");
    preferencesAction = addItem(editMenu, "Preferences");

    extrasMenu = bar->addMenu(QStringLiteral("Extras"));
    playAction = addItem(extrasMenu, "Play", "Ctrl+P");
    previewAction = addItem(extrasMenu, "Preview");
    dropPreviewAction = addItem(extrasMenu, "Drop Preview", "Ctrl+D");
    aboutAction = addItem(extrasMenu, "About Vontalix");

    connect(editMenu, &QMenu::aboutToShow, this, [this] {
        undoAction->setEnabled(false);
        for (QAction* action : {cutAction, copyAction, clearAction})
            action->setEnabled(clipSelected);
        pasteAction->setEnabled(pasteAllowed);
    });
    connect(editMenu, &QMenu::aboutToHide, this, [this] {
        for (QAction* action : editMenu->actions()) action->setEnabled(true);
    });
}
