#pragma once
// The auxiliary windows: preferences, about, drop preview and the library list. Each is reached
// through its instance(): the open window of its kind, or a new one built now. Closing a window
// destroys it; the next instance() builds a fresh one.

#include <QPointer>

#include "platform/controls.h"
#include "platform/dragdrop.h"
#include "platform/listbox.h"
#include "platform/little_arrows.h"
#include "platform/movieplayer.h"
#include "platform/window.h"

// The preview device and the default transition of the main window, kept for the next run.
class PreferencesWindow : public platform::Window {
    Q_OBJECT
  public:
    static PreferencesWindow* instance();
    static PreferencesWindow* existing();

    platform::ListBox* deviceList = nullptr;
    platform::StaticText* StaticText1 = nullptr;
    platform::LittleArrows* LittleArrows1 = nullptr;
    platform::StaticText* StaticText2 = nullptr;
    platform::StaticText* transitionLabel = nullptr;

    void Layout() override;
    void CreateControls() override;
    void Open() override;
    bool KeyDown(const QString& key) override;

    void deviceListOpened();
    void deviceListChanged();
    void LittleArrows1_Up();
    void LittleArrows1_Down();
};

// The version text; a click on it opens the program's README.
class about : public platform::Window {
    Q_OBJECT
  public:
    static about* instance();
    static about* existing();

    platform::StaticText* StaticText1 = nullptr;

    void Layout() override;
    void CreateControls() override;

    bool StaticText1_MouseDown(int x, int y);
    // The address of line 6, which a click opens.
    static QString address();
};

// Plays one dropped file (a file, a library track or a clip dragged off a lane) on the preview
// device, beside the decks, which it never touches.
class dropPreviewWindow : public platform::Window {
    Q_OBJECT
  public:
    static dropPreviewWindow* instance();
    static dropPreviewWindow* existing();

    platform::MoviePlayer* dropPreviewPlayer = nullptr;
    platform::ListBox* ListBox1 = nullptr;

    void Layout() override;
    void CreateControls() override;

    void ListBox1_Open();
    void ListBox1_DropObject(platform::DragItem& item, int action);
    bool ListBox1_DragRow(platform::DragItem& item, int row);

  protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
};

// The songs of the program's song list, one row each, with their count.
class itunesLib : public platform::Window {
    Q_OBJECT
  public:
    static itunesLib* instance();
    static itunesLib* existing();

    platform::ListBox* songList = nullptr;
    platform::StaticText* statusText = nullptr;

    void Layout() override;
    void CreateControls() override;
    void Open() override;

    void songListOpened();
    bool songListDragRow(platform::DragItem& item, int row);
};
