#pragma once
// The main window: the hub of the program. Its properties hold the shared state of the open mix
// and its methods carry most of the logic; each subsystem's folder defines its own methods.

#include <QString>
#include <vector>

#include "documents/playlist_format.h"
#include "lanes/dragcanvas.h"
#include "lanes/dragpic.h"
#include "platform/controls.h"
#include "platform/menu.h"
#include "platform/movieplayer.h"
#include "platform/window.h"

class Window1 : public platform::Window {
    Q_OBJECT
public:
    Window1();
    ~Window1() override;

    // The one main window: the open one, or a new one built and opened now.
    static Window1* instance();
    // The open main window, or nullptr (does not build one).
    static Window1* existing();

    // ---- Shared state of the open mix ---------------------------------------------------------
    bool pplay1 = false;          // the play deck runs
    bool vplay1 = false;          // the preview deck runs
    double previewdevice = 0;     // sound output id of the preview players (0 = default)
    int32_t pdragfromcanvas = 0;  // lane a clip was last Shift-dragged out of
    int32_t balkenaktiv = 0;      // selected clip's index in its lane, -1 none
    int32_t balkenaktivspur = 0;  // selected clip's lane; 0 or -1 none
    double splayline = 0;         // play head, absolute = playbalken + scrollwert
    double playbalken = 0;        // play head, visible window x
    float zoomwert = 0;           // timeline pixels per second
    int32_t mX = 0;               // mouse x where a handle drag began
    QString gespeichert;          // path of the playlist, "" untitled
    double previewbalken = 0;     // preview head, visible window x
    double spreviewline = 0;      // preview head, absolute
    float scrollwert = 0;         // timeline pixels scrolled off the left edge
    DragPicRef xcopy;             // the clipboard clip; belongs to no lane
    std::vector<double> pastex;   // paste target: [0] x in window pixels, [1] lane (0 none)
    int32_t xquit = 0;            // 1 = close without the save prompt
    DragPicRef pam, pam2;         // clips now loaded in player1 / player2
    DragPicRef vam, vam2;         // clips now loaded in previewplayer1 / previewplayer2
    DragPicRef oldpam, oldpam2;   // clips last started on the play deck
    DragPicRef oldvam, oldvam2;   // clips last started on the preview deck
    double deftrans = 3.0;        // default transition, seconds
    int32_t suddensaveflag = 0;   // 1 saved, 0 changed
    bool dropbar = false;         // a drag entered a lane; its one drop may be taken
    int32_t aktivcanvas = 0;      // lane the mouse last entered or clicked

    // ---- Controls, in creation order (reached by name through the registry as well) -----------
    DragCanvas* Canvas1 = nullptr;
    DragCanvas* Canvas2 = nullptr;
    platform::Canvas* Canvas3 = nullptr;
    platform::Separator* dauerstrich1 = nullptr;
    platform::StaticText *dauer1 = nullptr, *dauer2 = nullptr, *dauer3 = nullptr,
                         *dauer4 = nullptr, *dauer5 = nullptr;
    platform::StaticText* msg = nullptr;
    platform::StaticText *playtime = nullptr, *playtime2 = nullptr;
    platform::StaticText *previewtime = nullptr, *previewtime2 = nullptr;
    platform::Separator* playsepline = nullptr;
    platform::Line* playline = nullptr;
    platform::BevelButton* playbutton = nullptr;
    platform::Separator* previewsepline = nullptr;
    platform::Line* previewLine = nullptr;
    platform::BevelButton* Previewbutton = nullptr;
    platform::ScrollBar* ScrollBar1 = nullptr;
    platform::MoviePlayer *player1 = nullptr, *player2 = nullptr;
    platform::Timer* PlayPrevTimer = nullptr;
    platform::MoviePlayer *previewplayer1 = nullptr, *previewplayer2 = nullptr;
    platform::BevelButton *nowplay = nullptr, *nowpreview = nullptr;
    platform::Line *Line1 = nullptr, *Line2 = nullptr, *Line3 = nullptr, *Line4 = nullptr;
    platform::PopupArrow *inp = nullptr, *outp = nullptr, *fadein = nullptr, *fadeout = nullptr;
    platform::RectangleControl* laut = nullptr;
    platform::BevelButton* zoomer = nullptr;
    platform::StaticText* playtime3 = nullptr;

    DragCanvas* lane(int n) const { return n == 1 ? Canvas1 : n == 2 ? Canvas2 : nullptr; }

    // ---- Window events ------------------------------------------------------------------------
    void Layout() override;
    void CreateControls() override;
    void AddMenuHandlers() override;
    void Open() override;
    bool CancelClose(bool appQuitting) override;
    bool KeyDown(const QString& key) override;
    void KeyUp(const QString& key) override;
    void Deactivate() override;
    bool MouseDown(int x, int y) override;
    void EnableMenuItems() override;
    void Resizing() override;

    // ---- Control event handlers ---------------------------------------------------------------
    void Canvas1_Open();
    bool Canvas1_DragEnter(platform::DragItem& item, int action);
    void Canvas1_DragExit(platform::DragItem& item, int action);
    void Canvas1_MouseEnter();
    void Canvas1_DropObject(platform::DragItem& item, int action);
    void Canvas2_Open();
    bool Canvas2_DragEnter(platform::DragItem& item, int action);
    void Canvas2_DragExit(platform::DragItem& item, int action);
    void Canvas2_MouseEnter();
    void Canvas2_DropObject(platform::DragItem& item, int action);
    void Canvas3_DropObject(platform::DragItem& item, int action);
    void Canvas3_Open();
    void playbutton_Action();
    void Previewbutton_Action();
    void ScrollBar1_Open();
    void ScrollBar1_ValueChanged();
    void PlayPrevTimer_Action();
    // Brings a pausing tick up to date before the user's input is handled.
    void catchUpWithTheDecks();
    void nowplay_Action();
    void nowpreview_Action();
    void inp_MouseDrag(int x, int y);
    bool inp_MouseDown(int x, int y);
    void inp_MouseUp(int x, int y);
    bool outp_MouseDown(int x, int y);
    void outp_MouseDrag(int x, int y);
    void outp_MouseUp(int x, int y);
    void fadein_MouseDrag(int x, int y);
    bool fadein_MouseDown(int x, int y);
    void fadein_MouseUp(int x, int y);
    void fadeout_MouseUp(int x, int y);
    void fadeout_MouseDrag(int x, int y);
    bool fadeout_MouseDown(int x, int y);
    void zoomer_Open();
    void zoomer_Action();

    // ---- Menu item getters (nullptr when no item carries the name) ----------------------------
    platform::MenuItem* mode();
    platform::MenuItem* aboutme();
    platform::MenuItem* ExtrasDropPreview();
    platform::MenuItem* menupreview();
    platform::MenuItem* menuplay();
    platform::MenuItem* UntitledMenu0();
    platform::MenuItem* EditPreferences();
    platform::MenuItem* EditClear();
    platform::MenuItem* EditPaste();
    platform::MenuItem* EditCopy();
    platform::MenuItem* EditCut();
    platform::MenuItem* UntitledMenu1();
    platform::MenuItem* EditUndo();
    platform::MenuItem* UntitledMenu2();
    platform::MenuItem* menusaveas();
    platform::MenuItem* menusave();
    platform::MenuItem* UntitledMenu3();
    platform::MenuItem* openfolder();
    platform::MenuItem* menuopen();
    platform::MenuItem* UntitledMenu4();
    platform::MenuItem* menunew();
    platform::MenuItem* FileQuit();
    platform::MenuItem* UntitledMenu5();

    // ---- Menu handlers ------------------------------------------------------------------------
    bool _menuplay_Action();
    bool _menupreview_Action();
    bool _menusave_Action();
    bool _menusaveas_Action();
    bool _EditClear_Action();
    bool _editcopy_Action();
    bool _editpaste_Action();
    bool _editcut_Action();
    bool _openfolder_Action();
    bool _aboutme_Action();
    bool _itunesl_Action();

    // ---- Methods ------------------------------------------------------------------------------
    int32_t GetMovieSoundOutputComponent(platform::MoviePlayer* player);
    void SetMovieSoundOutputComponent(platform::MoviePlayer* player, int32_t id);
    void MovePlayerLineTo(double x);
    void SetPlayStartPos(double pos);
    void MovePreviewLineTo(double x);
    void SetPreviewStartPos(double pos);
    void play();
    void preview();
    void zeitundbalkenscroll();
    QString secstoTime(double secs);
    void balkenhandlerupdate();
    void ladetracks(const QString& line);
    void neu();
    int32_t save();
    void fenstername();
    void open(const QString& path);  // "" asks for a file
    void zoom(double f);
    void comment(int32_t code, const QString& text);
    void init();
    void previeplayzentriere(int32_t which);
    void clear();
    void copy();
    void paste();
    void movetoright(double delta, double from);
    void tracktauscher(double from, const DragPicRef& clip);
    platform::PictureRef zeichnetrack(const QString& name, double duration, double fadein,
                                      double fadeout, double start, double stop, int32_t label);
    double fadeinrechner(double a, double b, double c);
    double fadeoutrechner(double a, double b, double c);
    QString putznam(const QString& fileName, const QString& path);
    void scroller();
    void saveallasmovie();
    QString itlastinurltopfad(const QString& text);
    QString itvorputz(const QString& text);
    QString dropfromtunes(platform::DragItem& item);
    void refreshc();
    void dropaufcanvas(DragCanvas* canvas, platform::DragItem& item, int action);

private:
    void createControls0();
    void createControls1();
    platform::MenuItem* item(const QString& name);

    // ---- Engine ---------------------------------------------------------------------------------
    // Set while a tick runs: a timer firing inside a nested event loop must not re-enter it.
    bool deckTickRunning = false;

public:
    // The status line's word that sound has nowhere to go, and the device it is about (0: the
    // default): cleared by the first Play or Preview that finds the device there again.
    QString soundProblemText;
    int32_t soundProblemDevice = 0;
    void showSoundProblem(int32_t device, const QString& text);
    void forgetReturnedSoundProblem();

    // ---- Documents: playlist files, document commands and the save prompt --------------------
    // Both lanes hold no clip.
    bool lanesEmpty() const;
    // Asks "Save Playlist?"; true when the command may go on (saved, or "Don't save").
    bool passSavePrompt();
    QString titlePath;          // the path the title shows; Save as falls back to it on failure
    bool documentBusy = false;  // a playlist is being read; document commands wait for it
    // Record lines the open playlist could not load, written back by every save; reset with the
    // document.
    documents::KeptRecords keptRecords;
};
