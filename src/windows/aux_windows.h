#pragma once
// The auxiliary windows: preferences, about, drop preview and the library list. Each is reached
// through its instance(): the open window of its kind, or a new one built now for the owner
// window given (it floats in front of it and goes with it). Closing a window destroys it; the
// next instance() builds a fresh one.

#include <QPointer>

#include "media/movie_player.h"
#include "platform/controls.h"
#include "platform/dragdrop.h"
#include "windows/list_box.h"
#include "windows/little_arrows.h"
#include "windows/player_bar.h"
#include "windows/preview_device_host.h"
#include "windows/window_parts.h"

namespace model {
class Mix;
class StatusLine;
}  // namespace model

// The preview device and the default transition of the mix, kept for the next run; the status
// line says when a choice cannot be kept.
class PreferencesWindow : public windows::SmallWindow {
    Q_OBJECT
  public:
    PreferencesWindow(QWidget* owner, model::Mix& mix, windows::PreviewDeviceHost& device,
                      model::StatusLine& statusLine);
    static PreferencesWindow* instance(QWidget* owner, model::Mix& mix,
                                       windows::PreviewDeviceHost& device,
                                       model::StatusLine& statusLine);
    static PreferencesWindow* existing();

    windows::ListBox* deviceList = nullptr;
    windows::LittleArrows* transitionArrows = nullptr;
    platform::StaticText* transitionLabel = nullptr;

  protected:
    void keyPressEvent(QKeyEvent* e) override;

  private:
    void listDevices();
    void deviceChosen();
    void stepTransition(double (*step)(double));
    void sayIfNotKept(const QString& notKept);
    void showTransition();

    model::Mix& mix_;
    windows::PreviewDeviceHost& device_;
    model::StatusLine& statusLine_;
    std::vector<media::DeviceId> listedDevices_;  // the device of each row of the list
};

// The version text; a click on it opens the program's README.
class AboutWindow : public windows::SmallWindow {
    Q_OBJECT
  public:
    explicit AboutWindow(QWidget* owner);
    static AboutWindow* instance(QWidget* owner);
    static AboutWindow* existing();

    platform::StaticText* versionText = nullptr;

    // The address of line 6, which a click opens.
    static QString address();
};

// Plays one dropped file (a file, a library track or a clip dragged off a lane) on the preview
// device, beside the decks, which it never touches. A clip dragged off a lane is found among the
// mix's clips.
class DropPreviewWindow : public windows::SmallWindow {
    Q_OBJECT
  public:
    DropPreviewWindow(QWidget* owner, const model::Mix& mix, windows::PreviewDeviceHost& device);
    static DropPreviewWindow* instance(QWidget* owner, const model::Mix& mix,
                                       windows::PreviewDeviceHost& device);
    static DropPreviewWindow* existing();

    media::MoviePlayer player;
    windows::PlayerBar* playerBar = nullptr;
    windows::ListBox* dropList = nullptr;

    // What a drop on the list does; true when it plays what was dropped.
    bool preview(const platform::DragItem& item);

  protected:
    void resizeEvent(QResizeEvent* e) override;

  private:
    const model::Mix& mix_;
    windows::PreviewDeviceHost& device_;
};

// The songs of the program's song list, one row each, with their count.
class LibraryWindow : public windows::SmallWindow {
    Q_OBJECT
  public:
    explicit LibraryWindow(QWidget* owner);
    static LibraryWindow* instance(QWidget* owner);
    static LibraryWindow* existing();

    windows::ListBox* songList = nullptr;
    platform::StaticText* statusText = nullptr;
};
