#pragma once
// The main window's menu bar: File, Edit and Extras, an action for each command.

#include <QAction>
#include <QMenu>
#include <QObject>

class QMainWindow;

class MainMenu : public QObject {
    Q_OBJECT
  public:
    // Builds the bar into the window, above its content.
    explicit MainMenu(QMainWindow* window);

    QMenu* fileMenu;
    QAction* quitAction;
    QAction* newAction;
    QAction* openAction;
    QAction* openFolderAction;
    QAction* saveAction;
    QAction* saveAsAction;

    QMenu* editMenu;
    QAction* undoAction;
    QAction* cutAction;
    QAction* copyAction;
    QAction* pasteAction;
    QAction* clearAction;
    QAction* preferencesAction;

    QMenu* extrasMenu;
    QAction* playAction;
    QAction* previewAction;
    QAction* dropPreviewAction;
    QAction* aboutAction;

    // Cut, Copy and Clear work while a clip is selected; Paste once a clip was copied or a lane
    // clicked; Undo never. The open Edit menu shows them dimmed otherwise. Closed, its items all
    // take their shortcuts, so the key of an item that does not work now does nothing at all
    // instead of reaching the window's key commands.
    bool clipSelected = false;
    bool pasteAllowed = false;
};
