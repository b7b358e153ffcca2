#pragma once
// The main window: holds the open mix, builds the controls that show it at their fixed places,
// and the objects that carry the commands of its menus and controls (each keeps its own state).

#include <QMainWindow>
#include <QString>
#include <array>

#include "lanes/lane_view.h"
#include "model/mix.h"
#include "platform/controls.h"

class DeckCommands;
class DocumentCommands;
class EditCommands;
class LaneServices;
class MainMenu;
class TimelineControls;

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    MainWindow();
    ~MainWindow() override;

    // The one main window: the open one, or a new one built and started up now.
    static MainWindow* instance();
    // The open main window, or nullptr (does not build one).
    static MainWindow* existing();

    // Opens a playlist as a document sent by the desktop.
    void openDocument(const QString& path);

  protected:
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    bool event(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

  private:
    // Builds the controls at their fixed places (later ones lie over earlier ones) and the
    // command objects that work them.
    void createControls();
    // The steps of createControls that need the window's members.
    void createCommands(QWidget* content);
    void createLanes(QWidget* content);
    void createDeckControls(QWidget* content);
    void createVolumeMeter(QWidget* content);
    void connectMenu();
    // What opening the window does once it is built: the sound handlers, the check that movies
    // can be played, the kept preferences and the reset.
    void startUp();
    // Empties the lanes, stops the decks and puts zoom, scroll, heads and status line back as a
    // new document has them.
    void resetDocument();
    // A left click at x, y of the content area outside the controls that take it: places the
    // heads and picks the active lane.
    void backgroundClicked(int x, int y);

    model::Mix mix_;
    MainMenu* const menu_;
    platform::StatusLineText* statusLine_ = nullptr;
    DeckCommands* decks_ = nullptr;
    DocumentCommands* documents_ = nullptr;
    EditCommands* edits_ = nullptr;
    LaneServices* laneServices_ = nullptr;
    TimelineControls* timeline_ = nullptr;
    std::array<LaneView*, 2> lanes_{};
    std::array<platform::Line*, 2> laneBorders_{};
    platform::BorderedRectangle* volumeMeter_ = nullptr;
};
