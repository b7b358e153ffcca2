#pragma once
// The auxiliary windows: preferences, about, drop preview and the library list. Each is reached
// through its instance(): the open window of its kind, or a new one built now for the owner
// window given (it floats in front of it and goes with it). Closing a window destroys it; the
// next instance() builds a fresh one.

#include <QPointer>
#include <QWidget>

#include "platform/controls.h"
#include "platform/dragdrop.h"
#include "platform/listbox.h"
#include "platform/little_arrows.h"
#include "platform/movieplayer.h"
#include "platform/window.h"
#include "windows/preview_device_host.h"

namespace model {
struct Mix;
}

// The preview device and the default transition of the mix, kept for the next run.
class PreferencesWindow : public platform::Window {
    Q_OBJECT
  public:
    PreferencesWindow(QWidget* owner, model::Mix& mix, windows::PreviewDeviceHost& device);
    static PreferencesWindow* instance(QWidget* owner, model::Mix& mix,
                                       windows::PreviewDeviceHost& device);
    static PreferencesWindow* existing();

    platform::ListBox* deviceList = nullptr;
    platform::StaticText* deviceCaption = nullptr;
    platform::LittleArrows* LittleArrows1 = nullptr;
    platform::StaticText* transitionCaption = nullptr;
    platform::StaticText* transitionLabel = nullptr;

    void Layout() override;
    void CreateControls() override;
    void Open() override;
    bool KeyDown(const QString& key) override;

    void deviceListOpened();
    void deviceListChanged();
    void LittleArrows1_Up();
    void LittleArrows1_Down();

  private:
    void showTransition();

    QWidget* owner_;
    model::Mix& mix_;
    windows::PreviewDeviceHost& device_;
};

// The version text; a click on it opens the program's README.
class AboutWindow : public platform::Window {
    Q_OBJECT
  public:
    explicit AboutWindow(QWidget* owner) : owner_(owner) {}
    static AboutWindow* instance(QWidget* owner);
    static AboutWindow* existing();

    platform::StaticText* versionText = nullptr;

    void Layout() override;
    void CreateControls() override;

    bool versionTextClicked(int x, int y);
    // The address of line 6, which a click opens.
    static QString address();

  private:
    QWidget* owner_;
};

// Plays one dropped file (a file, a library track or a clip dragged off a lane) on the preview
// device, beside the decks, which it never touches. A clip dragged off a lane is found among the
// mix's clips.
class DropPreviewWindow : public platform::Window {
    Q_OBJECT
  public:
    DropPreviewWindow(QWidget* owner, const model::Mix& mix, windows::PreviewDeviceHost& device);
    static DropPreviewWindow* instance(QWidget* owner, const model::Mix& mix,
                                       windows::PreviewDeviceHost& device);
    static DropPreviewWindow* existing();

    platform::MoviePlayer* dropPreviewPlayer = nullptr;
    platform::ListBox* dropList = nullptr;

    void Layout() override;
    void CreateControls() override;

    void dropListOpened();
    void dropListDrop(platform::DragItem& item, int action);
    bool dropListDragRow(platform::DragItem& item, int row);

  protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    QWidget* owner_;
    const model::Mix& mix_;
    windows::PreviewDeviceHost& device_;
};

// The songs of the program's song list, one row each, with their count.
class LibraryWindow : public platform::Window {
    Q_OBJECT
  public:
    explicit LibraryWindow(QWidget* owner) : owner_(owner) {}
    static LibraryWindow* instance(QWidget* owner);
    static LibraryWindow* existing();

    platform::ListBox* songList = nullptr;
    platform::StaticText* statusText = nullptr;

    void Layout() override;
    void CreateControls() override;
    void Open() override;

    void songListOpened();
    bool songListDragRow(platform::DragItem& item, int row);

  private:
    QWidget* owner_;
};
