#pragma once
// The main window: holds the open mix and the two decks, builds the controls that show them,
// and carries the commands of its menus and controls.

#include <QMainWindow>
#include <QScrollBar>
#include <QString>
#include <array>
#include <vector>

#include "documents/document_host.h"
#include "editing/edit_host.h"
#include "engine/deck.h"
#include "engine/deck_host.h"
#include "engine/transport.h"
#include "lanes/deck_view.h"
#include "lanes/lane_view.h"
#include "model/clip.h"
#include "model/clip_picture.h"
#include "model/mix.h"
#include "model/playlist_format.h"
#include "platform/controls.h"
#include "platform/window.h"
#include "shell/clip_handle.h"
#include "shell/folder_target.h"
#include "shell/main_menu.h"
#include "windows/preview_device_host.h"

class MainWindow : public QMainWindow,
                   public engine::DeckHost,
                   public lanes::LaneHost,
                   public editing::EditHost,
                   public documents::DocumentHost,
                   public windows::PreviewDeviceHost {
    Q_OBJECT
  public:
    MainWindow();
    ~MainWindow() override;

    // The one main window: the open one, or a new one built and started up now.
    static MainWindow* instance();
    // The open main window, or nullptr (does not build one).
    static MainWindow* existing();

    // ---- The open mix, and the window's own state -----------------------------------------------
    model::Mix mix;
    media::DeviceId previewDevice = 0;  // sound output id of the preview players (0 = default)
    int32_t shiftDragSourceLane = 0;    // lane a clip was last Shift-dragged out of
    int32_t handleDragStartX = 0;       // mouse x where a handle drag began
    bool closeWithoutPrompt = false;    // close without the save prompt
    bool dropPending = false;           // a drag entered a lane; its one drop may be taken
    bool previewLatched = false;        // the preview key toggled the preview and is still held
    int32_t activeLane = 0;             // lane the mouse last entered or clicked

    // ---- The two decks: the play head and the preview head over the lanes ----------------------
    engine::Deck playDeck;
    engine::Deck previewDeck;
    // What shows each deck: its head's controls and its menu item.
    lanes::DeckView* playDeckView = nullptr;
    lanes::DeckView* previewDeckView = nullptr;
    // Starts, stops and ticks the two decks.
    engine::Transport transport{*this, mix, playDeck, previewDeck};

    // ---- Controls, in creation order ------------------------------------------------------------
    LaneView* laneView1 = nullptr;
    LaneView* laneView2 = nullptr;
    FolderTarget* folderTarget = nullptr;
    // The ruler above the lanes: its base line and the time labels that scroll along it (its
    // ticks stay where they are).
    struct Ruler {
        platform::Separator* line = nullptr;
        std::array<platform::StaticText*, 5> labels{};
    } ruler;
    platform::StaticText* statusLine = nullptr;
    QScrollBar* timelineScrollBar = nullptr;
    platform::FlatButton *findPlayHeadButton = nullptr, *findPreviewHeadButton = nullptr;
    platform::Line *lane2Border = nullptr, *lane1Border = nullptr;
    // The selected clip's four handles, and the guide lines of its in and out points.
    struct ClipHandles {
        ClipHandle *inPoint = nullptr, *outPoint = nullptr, *fadeIn = nullptr, *fadeOut = nullptr;
        platform::Line *inPointGuide = nullptr, *outPointGuide = nullptr;
    } handles;
    platform::BorderedRectangle* volumeMeter = nullptr;
    platform::FlatButton* zoomButton = nullptr;

    LaneView* lane(int n) const { return n == 1 ? laneView1 : n == 2 ? laneView2 : nullptr; }

    // ---- The window's own work ---------------------------------------------------------------
    // What opening the window does once it is built: the sound handlers, the check that movies
    // can be played, the kept preferences and the reset.
    void startUp();
    // True keeps the window open. appQuitting tells whether the whole program is quitting.
    bool keepOpen(bool appQuitting);
    // Closes the window through its close guard; false when the guard kept it open.
    bool closeGuarded(bool appQuitting);
    // A key pressed (or repeating) while the window has the focus; modifier keys alone are none.
    void keyPressed();
    // A left click at x, y of the content area outside the controls that take it.
    void backgroundClicked(int x, int y);
    // The controls that follow the window's width take it again.
    void fitToWidth();
    // Resizes the content as the user would.
    void userResize(int width);
    void setContentSize(int w, int h) { platform::setContentSize(*this, w, h); }

    // ---- Control event handlers ---------------------------------------------------------------
    // A folder dropped on the folder target joins the mix.
    void folderDropped(const QString& folder);
    void findPlayHeadClicked();
    void findPreviewHeadClicked();
    // A clip handle pressed, dragged and released at x in its own coordinates.
    void handlePressed(int x);
    void handleDragged(ClipHandle& handle, int x);
    void handleReleased(const ClipHandle& handle);
    // A zoom level chosen from the zoom button's menu, in percent.
    void zoomChosen(const QString& percent);

    // ---- The menu bar and its commands ---------------------------------------------------------
    MainMenu* const menu = new MainMenu(this);
    void connectMenu();
    void openFolderChosen();
    void saveAsChosen();
    void cutChosen();
    void preferencesChosen();
    void dropPreviewChosen();
    void aboutChosen();
    void libraryChosen();

    // ---- The preview device as the small windows choose it and play on it ----------------------
    media::DeviceId previewDeviceId() const override;
    void setPreviewDeviceId(media::DeviceId id) override;
    void routeToPreviewDevice(const media::MoviePlayer& player) override;

    // ---- Methods ------------------------------------------------------------------------------
    // Moves a deck's head to window x of the lanes as scrolled now.
    void moveHeadTo(engine::Deck& deck, double x);
    // Gives the clips under the deck's head their start offsets, the head standing at pos.
    void setStartOffsets(engine::Deck& deck, double pos);
    void play();
    void preview();
    void scrollRuler();
    void newDocument();
    int32_t save();
    void open(const QString& path);  // "" asks for a file
    void zoom(double f);
    void init();
    // Scrolls to the 400-pixel page that holds the deck's head.
    void centreOnHead(const engine::Deck& deck);
    void clear();
    void copy();
    void paste();
    model::PictureRef makeClipPicture(const QString& name, double duration, double fadeInEnd,
                                      double fadeOutStart, double start, double stop,
                                      int32_t label) override;
    void followScroll();
    void exportMovie();
    QString dropFromLibrary(const platform::DragItem& item);

    // ---- What the lanes ask of the window ------------------------------------------------------
    void showStatus(const QString& text) override;
    void reportOverlap() override;
    model::PictureRef laneBackdrop() override;
    model::PictureRef clipPicture(const model::Clip& clip) override;
    void shiftDragStarted(int fromLane) override;
    void retakePreviewStartOffsets() override;
    void dragEnteredLane(LaneView& lane) override;
    void dragLeftLane(LaneView& lane) override;
    void droppedOnLane(LaneView& lane, const platform::DragItem& item) override;
    void mouseEnteredLane(int lane) override;

    // The status line's word that sound has nowhere to go on a device (0: the default), cleared
    // by the first Play or Preview that finds the device there again.
    void showSoundProblem(int32_t device, const QString& text);

    // ---- What the decks need from the window ---------------------------------------------------
    int32_t previewOutputDevice() const override;
    // Width of the visible lanes in pixels.
    int viewWidth() const;

    // ---- Documents: the window as the host of the document commands --------------------------
    QString titlePath;  // the path the title shows; Save as falls back to it on failure
    model::Mix& documentMix() override;
    QWidget* documentWindow() override;
    void resetDocument() override;
    QString titledPath() const override;

    // ---- Host of the edit commands (shell/edit_host.cpp) ---------------------------------------
    model::ClipRef pressedClip(int lane) const override;
    bool soundingOnPlayDeck(const model::ClipRef& clip) const override;
    QString statusText() const override;
    void setStatusText(const QString& text) override;
    void clearLaneSelection(int lane) override;
    void togglePreview() override;
    void exportMix() override;

  protected:
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    bool event(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

  private:
    // Builds the controls at their fixed places; later ones lie over earlier ones.
    void createControls();
    // The title, the handles, the ruler and the status line follow the mix and the lanes.
    void connectMix();
    // The four handles and their guide lines stand at the clip on the lane whose top is laneTop,
    // or go out of sight; the Edit menu follows.
    void placeHandles(const model::Clip& clip, int laneTop);
    void hideHandles();

    bool quitting_ = false;  // the close now asked for is the program quitting
};
