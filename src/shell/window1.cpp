// The main window's frame: construction, controls and their wiring, menu wiring, opening,
// resizing, the status line and the document reset.
#include "shell/window1.h"

#include <QApplication>
#include <QTimer>

#include "platform/application.h"
#include "platform/dialogs.h"
#include "platform/numtext.h"
#include "editing/key_commands.h"
#include "engine/routing.h"
#include "lanes/zoom_math.h"
#include "media/media.h"
#include "shell/menu.h"
#include "shell/pictures.h"
#include "windows/window_logic.h"

using namespace platform;

namespace {
QPointer<Window1> theWindow;

using media::mediaAvailable;
using media::systemVolume;
}  // namespace

Window1::Window1() { pastex.clear(); }

Window1::~Window1() {
    if (theWindow == this) theWindow = nullptr;
}

Window1* Window1::instance() {
    if (!theWindow) {
        theWindow = new Window1;
        theWindow->setAttribute(Qt::WA_DeleteOnClose, true);
        if (auto* app = Application::instance()) app->setMainWindow(theWindow);
        theWindow->construct();
    }
    return theWindow;
}

Window1* Window1::existing() { return theWindow; }

// ---- Construction --------------------------------------------------------------------------------

void Window1::Layout() {
    setMenuBar(Menu::instance());
    setTitle(QStringLiteral("Vontalix"));
    setContentLimits(640, 180, 1280, 180);
    setContentSize(800, 180);
    setMaximizeButton(false);
}

void Window1::CreateControls() {
    createControls0();
    createControls1();
}

namespace {

void showVolume(RectangleControl* bar, double volume) {
    const editing::VolumeBar b = editing::volumeBar(volume);
    bar->setHeight(b.height);
    bar->setTop(b.top);
}

template <class T>
T* place(Window1* w, T* c, int left, int top, int width, int height) {
    c->setBounds(left, top, width, height);
    w->_AddControl(c);
    return c;
}

StaticText* text(Window1* w, const char* name, int left, int top, int width, int height,
                 const char* txt, QColor color, int size = 9) {
    auto* t = place(w, new StaticText(w->content(), name), left, top, width, height);
    t->setText(QString::fromLatin1(txt));
    t->setTextColor(color);
    t->setTextSize(size);
    return t;
}

Separator* separator(Window1* w, const QString& name, int left, int top, int width, int height) {
    return place(w, new Separator(w->content(), name), left, top, width, height);
}

Line* line(Window1* w, const char* name, int x1, int y1, int x2, int y2, QColor color) {
    auto* l = new Line(w->content(), name);
    l->setPoints(x1, y1, x2, y2);
    l->setLineColor(color);
    w->_AddControl(l);
    return l;
}

BevelButton* button(Window1* w, const char* name, int left, int top, int width, int height,
                    PictureRef icon, const char* help, int align, int textSize) {
    auto* b = place(w, new BevelButton(w->content(), name), left, top, width, height);
    b->setIcon(std::move(icon));
    b->setHelpTag(QString::fromLatin1(help));
    b->setCaptionAlign(align);
    b->setTextSize(textSize);
    return b;
}

PopupArrow* arrow(Window1* w, const char* name, int left, int top, int width, int height,
                  const char* help, int facing) {
    auto* a = place(w, new PopupArrow(w->content(), name), left, top, width, height);
    a->setHelpTag(QString::fromLatin1(help));
    a->setFacing(facing);
    return a;
}

MoviePlayer* player(Window1* w, const char* name, int left, int top) {
    return place(w, new MoviePlayer(w->content(), name), left, top, 195, 16);
}

// Facing: the in-point handle points right to its column, the out-point handle left, the fade
// handles down onto the ruler.
constexpr int kFacingLeft = 0, kFacingRight = 1, kFacingDown = 2;

}  // namespace

void Window1::createControls0() {
    const QColor rulerText(61, 61, 61), timeText(50, 50, 50), previewText(255, 162, 0);

    Canvas1 = place(this, new DragCanvas(content(), "Canvas1", 1), 0, 45, 800, 33);
    Canvas1->setHelpTag("Track 1");
    Canvas1->setBackdrop(spur());
    Canvas1->onOpen = [this] { Canvas1_Open(); };
    Canvas1->onDragEnter = [this](DragItem& i, int a) { return Canvas1_DragEnter(i, a); };
    Canvas1->onDragExit = [this](DragItem& i, int a) { Canvas1_DragExit(i, a); };
    Canvas1->onMouseEnter = [this] { Canvas1_MouseEnter(); };
    Canvas1->onDropObject = [this](DragItem& i, int a) { Canvas1_DropObject(i, a); };

    Canvas2 = place(this, new DragCanvas(content(), "Canvas2", 2), 0, 87, 800, 33);
    Canvas2->setHelpTag("Track 2");
    Canvas2->setBackdrop(spur());
    Canvas2->onOpen = [this] { Canvas2_Open(); };
    Canvas2->onDragEnter = [this](DragItem& i, int a) { return Canvas2_DragEnter(i, a); };
    Canvas2->onDragExit = [this](DragItem& i, int a) { Canvas2_DragExit(i, a); };
    Canvas2->onMouseEnter = [this] { Canvas2_MouseEnter(); };
    Canvas2->onDropObject = [this](DragItem& i, int a) { Canvas2_DropObject(i, a); };

    Canvas3 = place(this, new Canvas(content(), "Canvas3"), 749, 226, 32, 32);
    Canvas3->onDropObject = [this](DragItem& i, int a) { Canvas3_DropObject(i, a); };
    Canvas3->onOpen = [this] { Canvas3_Open(); };

    dauerstrich1 = separator(this, "dauerstrich1", 0, 35, 800, 1);
    for (int n = 3; n <= 15; ++n) separator(this, QStringLiteral("Separator%1").arg(n), 60 * (n - 2), 30, 1, 5);
    dauer1 = text(this, "dauer1", 0, 20, 63, 12, "Text:", rulerText);
    dauer2 = text(this, "dauer2", 300, 20, 100, 12, "Text:", rulerText);
    dauer3 = text(this, "dauer3", 600, 20, 63, 12, "Text:", rulerText);
    dauer4 = text(this, "dauer4", 900, 20, 63, 12, "Text:", rulerText);
    msg = text(this, "msg", 7, 146, 605, 14, "", QColor(70, 70, 70));
    playtime = text(this, "playtime", 208, 78, 80, 9, "time", timeText);
    playtime2 = text(this, "playtime2", 208, 120, 80, 9, "time2", timeText);
    previewtime = text(this, "previewtime", 435, 215, 80, 9, "time", previewText);
    previewtime2 = text(this, "previewtime2", 435, 235, 80, 9, "time2", previewText);

    playsepline = separator(this, "playsepline", 70, 45, 1, 85);
    playline = line(this, "playline", 100, 45, 100, 130, QColor(0, 0, 0));
    playbutton = button(this, "playbutton", 93, 129, 15, 16, playb(), "", 3, 10);
    playbutton->onAction = [this] { playbutton_Action(); };

    previewsepline = separator(this, "previewsepline", 442, 20, 1, 100);
    previewLine = line(this, "previewLine", 423, 20, 423, 119, QColor(255, 162, 0));
    Previewbutton = button(this, "Previewbutton", 416, 3, 15, 16, prevplayb(), "preview", 3, 10);
    Previewbutton->onAction = [this] { Previewbutton_Action(); };

    ScrollBar1 = place(this, new ScrollBar(content(), "ScrollBar1"), 0, 164, 680, 16);
    ScrollBar1->setMinimum(0);
    ScrollBar1->setMaximum(900);
    ScrollBar1->setValue(0);
    ScrollBar1->setLineStep(1);
    ScrollBar1->setPageStep(12);
    ScrollBar1->setLiveScroll(true);
    ScrollBar1->onOpen = [this] { ScrollBar1_Open(); };
    ScrollBar1->onValueChanged = [this] { ScrollBar1_ValueChanged(); };

    player1 = player(this, "player1", 216, 270);
    player2 = player(this, "player2", 216, 298);

    PlayPrevTimer = new Timer(this, "PlayPrevTimer");
    PlayPrevTimer->setMode(2);
    PlayPrevTimer->setPeriod(1000);
    _AddControl(PlayPrevTimer);
    PlayPrevTimer->onAction = [this] { PlayPrevTimer_Action(); };
    catchUpWithTheDecks();

    previewplayer1 = player(this, "previewplayer1", 9, 270);
    previewplayer2 = player(this, "previewplayer2", 9, 298);

    nowplay = button(this, "nowplay", 690, 163, 16, 16, playbuttonic(), "find play position", 0, 9);
    nowplay->onAction = [this] { nowplay_Action(); };
    nowpreview = button(this, "nowpreview", 712, 163, 16, 16, prevbuttonic(),
                        "find preview position", 2, 9);
    nowpreview->onAction = [this] { nowpreview_Action(); };

    Line1 = line(this, "Line1", 277, 7, 277, 32, QColor(0, 0, 0));
    Line2 = line(this, "Line2", 258, 11, 258, 36, QColor(0, 0, 0));
    Line3 = line(this, "Line3", 0, 120, 1280, 119, QColor(160, 160, 160));
    Line4 = line(this, "Line4", 0, 78, 1280, 77, QColor(160, 160, 160));

    inp = arrow(this, "inp", 245, 35, 8, 9, "in point", kFacingRight);
    inp->onMouseDrag = [this](int x, int y) { inp_MouseDrag(x, y); };
    inp->onMouseDown = [this](int x, int y) { return inp_MouseDown(x, y); };
    inp->onMouseUp = [this](int x, int y) { inp_MouseUp(x, y); };
    outp = arrow(this, "outp", 282, 35, 8, 9, "out point", kFacingLeft);
    outp->onMouseDown = [this](int x, int y) { return outp_MouseDown(x, y); };
    outp->onMouseDrag = [this](int x, int y) { outp_MouseDrag(x, y); };
    outp->onMouseUp = [this](int x, int y) { outp_MouseUp(x, y); };
    fadein = arrow(this, "fadein", 186, 11, 9, 9, "fadein ends here", kFacingDown);
    fadein->onMouseDrag = [this](int x, int y) { fadein_MouseDrag(x, y); };
    fadein->onMouseDown = [this](int x, int y) { return fadein_MouseDown(x, y); };
    fadein->onMouseUp = [this](int x, int y) { fadein_MouseUp(x, y); };
    fadeout = arrow(this, "fadeout", 208, 11, 9, 9, "fadeout starts here", kFacingDown);
    fadeout->onMouseUp = [this](int x, int y) { fadeout_MouseUp(x, y); };
    fadeout->onMouseDrag = [this](int x, int y) { fadeout_MouseDrag(x, y); };
    fadeout->onMouseDown = [this](int x, int y) { return fadeout_MouseDown(x, y); };

    laut = place(this, new RectangleControl(content(), "laut"), 736, 164, 1, 14);
    laut->setFillColor(QColor(127, 127, 127));
    laut->setBorderColors(QColor(127, 127, 127), QColor(127, 127, 127));
    laut->setBorderWidth(1);
    // The bar follows the system volume when the sound server tells of it.
    media::onSystemVolumeChanged(this, [this](double v) { showVolume(laut, v); });
}

void Window1::createControls1() {
    for (int n = 16; n <= 23; ++n) separator(this, QStringLiteral("Separator%1").arg(n), 60 * (n - 2), 30, 1, 5);
    dauer5 = text(this, "dauer5", 1200, 20, 63, 12, "Text:", QColor(61, 61, 61));
    zoomer = button(this, "zoomer", 745, 163, 40, 16, nullptr, "", 0, 9);
    zoomer->setCaption(" 100 %");
    zoomer->setHasMenu(1);
    zoomer->onOpen = [this] { zoomer_Open(); };
    zoomer->onAction = [this] { zoomer_Action(); };
    playtime3 = text(this, "playtime3", 188, 215, 100, 20, "Untitled", QColor(0, 0, 0), 12);
}

// ---- Menus -----------------------------------------------------------------------------------

void Window1::AddMenuHandlers() {
    _AddMenuHandler("menuplay", [this] { return _menuplay_Action(); });
    _AddMenuHandler("menupreview", [this] { return _menupreview_Action(); });
    _AddMenuHandler("menusave", [this] { return _menusave_Action(); });
    _AddMenuHandler("menusaveas", [this] { return _menusaveas_Action(); });
    _AddMenuHandler("EditClear", [this] { return _EditClear_Action(); });
    _AddMenuHandler("editcopy", [this] { return _editcopy_Action(); });
    _AddMenuHandler("editpaste", [this] { return _editpaste_Action(); });
    _AddMenuHandler("editcut", [this] { return _editcut_Action(); });
    _AddMenuHandler("openfolder", [this] { return _openfolder_Action(); });
    _AddMenuHandler("aboutme", [this] { return _aboutme_Action(); });
    _AddMenuHandler("itunesl", [this] { return _itunesl_Action(); });
}

MenuItem* Window1::item(const QString& name) { return MenuBar() ? MenuBar()->_Lookup(name) : nullptr; }
MenuItem* Window1::mode() { return item("mode"); }
MenuItem* Window1::aboutme() { return item("aboutme"); }
MenuItem* Window1::ExtrasDropPreview() { return item("ExtrasDropPreview"); }
MenuItem* Window1::menupreview() { return item("menupreview"); }
MenuItem* Window1::menuplay() { return item("menuplay"); }
MenuItem* Window1::UntitledMenu0() { return item("UntitledMenu0"); }
MenuItem* Window1::EditPreferences() { return item("EditPreferences"); }
MenuItem* Window1::EditClear() { return item("EditClear"); }
MenuItem* Window1::EditPaste() { return item("EditPaste"); }
MenuItem* Window1::EditCopy() { return item("EditCopy"); }
MenuItem* Window1::EditCut() { return item("EditCut"); }
MenuItem* Window1::UntitledMenu1() { return item("UntitledMenu1"); }
MenuItem* Window1::EditUndo() { return item("EditUndo"); }
MenuItem* Window1::UntitledMenu2() { return item("UntitledMenu2"); }
MenuItem* Window1::menusaveas() { return item("menusaveas"); }
MenuItem* Window1::menusave() { return item("menusave"); }
MenuItem* Window1::UntitledMenu3() { return item("UntitledMenu3"); }
MenuItem* Window1::openfolder() { return item("openfolder"); }
MenuItem* Window1::menuopen() { return item("menuopen"); }
MenuItem* Window1::UntitledMenu4() { return item("UntitledMenu4"); }
MenuItem* Window1::menunew() { return item("menunew"); }
MenuItem* Window1::FileQuit() { return item("FileQuit"); }
MenuItem* Window1::UntitledMenu5() { return item("UntitledMenu5"); }

void Window1::EnableMenuItems() {
    if (MenuItem* prefs = EditPreferences()) prefs->Enable();
}

bool Window1::_menuplay_Action() {
    play();
    return false;
}

bool Window1::_menupreview_Action() {
    preview();
    return false;
}

bool Window1::_menusave_Action() {
    save();
    return false;
}

bool Window1::_menusaveas_Action() {
    gespeichert.clear();
    save();
    return false;
}

bool Window1::_EditClear_Action() {
    clear();
    return false;
}

bool Window1::_editcopy_Action() {
    copy();
    return false;
}

bool Window1::_editpaste_Action() {
    paste();
    return false;
}

bool Window1::_editcut_Action() {
    copy();
    clear();
    return false;
}

bool Window1::_aboutme_Action() { return false; }

// ---- Opening, resizing, status line, reset ---------------------------------------------------

void Window1::Open() {
    // A preview routed to a device that is gone stays silent rather than reaching the audience
    // through the main output; say so, since nothing else would tell the DJ.
    media::setUnavailableRouteHandler([](int32_t id) {
        if (Window1* w = Window1::existing()) {
            const bool anyDevice = media::routeAvailable(0);
            w->showSoundProblem(anyDevice ? id : 0, engine::unavailableRouteText(anyDevice));
        }
    });
    media::setDeviceLostHandler([](int32_t id, const QString& name) {
        if (Window1* w = Window1::existing()) w->showSoundProblem(id, engine::lostDeviceText(name));
    });
    if (!mediaAvailable() || xquit == 1) {
        MessageSpec spec;
        spec.icon = 1;
        spec.message = QStringLiteral("Sorry");
        spec.explanation =
            QStringLiteral("You must have Quicktime installed in order to run this software!");
        spec.actionCaption = QStringLiteral("Quit");
        if (MessageDialog(spec) == DialogAnswer::Action) {
            xquit = 1;
            QMetaObject::invokeMethod(qApp, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
        }
    }
    const windows::KeptPreferences kept = windows::keptPreferences();
    previewdevice = kept.previewDevice;
    deftrans = kept.transition;
    init();
    // The kept device may be unplugged: the preview then stays silent, never falling back to the
    // main output, and the DJ is told. Asked once the window shows, as it may wait for the
    // sound server.
    if (kept.previewDevice != 0) {
        QTimer::singleShot(0, this, [this, kept] {
            if (!media::routeAvailable(kept.previewDevice) && previewdevice == kept.previewDevice)
                msg->setText(engine::missingPreviewDeviceText(kept.previewDeviceName));
        });
    }
}

void Window1::Resizing() {
    const int w = Width();
    Canvas1->setWidth(w);
    Canvas2->setWidth(w);
    Canvas3->setLeft(w - Canvas3->Width());
    Line3->setWidth(w);
    Line4->setWidth(w);
    dauerstrich1->setWidth(w);
    ScrollBar1->setPageStep(whole(w / 60.0));
    ScrollBar1->setWidth(w - 120);
    zoomer->setLeft(w - 54);
    nowplay->setLeft(w - 110);
    nowpreview->setLeft(w - 88);
    laut->setLeft(w - 64);
}

void Window1::comment(int32_t code, const QString&) {
    if (code == 1) msg->setText(QStringLiteral("do not drop one track onto another"));
}

void Window1::init() {
    // The clipboard clip survives a reset; bring it back to zoom 1 with everything else so a
    // later paste gives a clip of the right length.
    if (xcopy && zoomwert > 0 && zoomwert != 1.0f) {
        scaleClipLengths(*xcopy, 1.0 / zoomwert);
        xcopy->image = zeichnetrack(xcopy->pname, xcopy->pdauer, xcopy->pfadein, xcopy->pfadeout,
                                    xcopy->pstart, xcopy->pstop, xcopy->pfarbe);
    }
    zoomwert = 1.0f;
    zoomer->setCaption(QStringLiteral(" 100%"));
    PlayPrevTimer->setPeriod(10);
    balkenaktiv = -1;
    balkenaktivspur = -1;
    playtime->setText(QString());
    playtime2->setText(QString());
    previewtime->setText(QString());
    previewtime2->setText(QString());
    playbalken = 100.0;
    previewbalken = 300.0;
    splayline = playbalken;
    spreviewline = previewbalken;
    Canvas1->versteckebalken();
    Canvas2->versteckebalken();
    zeitundbalkenscroll();
    gespeichert.clear();
    keptRecords.clear();
    pam = pam2 = vam = vam2 = nullptr;
    oldpam = oldpam2 = oldvam = oldvam2 = nullptr;
    for (DragCanvas* lane : {Canvas1, Canvas2}) {
        while (!lane->mPics.empty()) lane->mPics.pop_back();
    }
    Canvas1->aktualisiere();
    Canvas2->aktualisiere();
    Canvas1->versteckebalken();
    Canvas2->versteckebalken();
    fenstername();
    ScrollBar1->setValue(0);
    scrollwert = 0;
    pastex.assign(2, 0.0);
    dauer1->setLeft(0);
    dauer2->setLeft(300);
    dauer3->setLeft(600);
    dauer4->setLeft(900);
    showVolume(laut, systemVolume());
    // What the status line said was about the document just ended.
    msg->setText(QString());
}
