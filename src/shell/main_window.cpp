// The main window's frame: construction, controls and their wiring, menu wiring, opening,
// resizing, the status line and the document reset.
#include "shell/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QTimer>

#include "documents/playlist_io.h"
#include "editing/keyboard_commands.h"
#include "engine/routing.h"
#include "media/media.h"
#include "model/key_commands.h"
#include "model/numtext.h"
#include "model/zoom_math.h"
#include "platform/dialogs.h"
#include "shell/app.h"
#include "shell/pictures.h"
#include "windows/window_logic.h"

using namespace platform;

namespace {
QPointer<MainWindow> theWindow;

using media::mediaAvailable;
using media::systemVolume;
}  // namespace

namespace {

// The play head's labels ride 4 pixels right of it (none when the ruler lays it again); the
// preview head's 11.
const lanes::DeckLooks kPlayLooks{.labelOffset = 4,
                                  .scrolledLabelOffset = 0,
                                  .stoppedIcon = &playButtonPicture,
                                  .runningIcon = &pauseButtonPicture,
                                  .stoppedText = "Play",
                                  .runningText = "Stop",
                                  .redrawsBackdrop = false};
const lanes::DeckLooks kPreviewLooks{.labelOffset = 11,
                                     .scrolledLabelOffset = 11,
                                     .stoppedIcon = &previewButtonPicture,
                                     .runningIcon = &previewPauseButtonPicture,
                                     .stoppedText = "Preview",
                                     .runningText = "Stop Preview",
                                     .redrawsBackdrop = true};

}  // namespace

MainWindow::MainWindow()
    // A new play start loads the clips under the head again; the preview deck keeps what sounds.
    : playDeck(model::kPlayDeck, true), previewDeck(model::kPreviewDeck, false) {
    // The content area below the menu bar; the controls are its children, at fixed places.
    auto* content = new QWidget(this);
    setCentralWidget(content);
    content->setFocusPolicy(Qt::StrongFocus);
    setWindowTitle(QStringLiteral("Vontalix"));
    platform::setContentLimits(*this, 640, 180, 1280, 180);
    setContentSize(800, 180);
    platform::setMaximizeButton(*this, false);
    createControls();
    connectMix();
    connectMenu();
}

void MainWindow::connectMix() {
    // The title names the file the document was last opened or saved as; Save as empties the
    // path while it asks, and the title keeps the old one until a file is written.
    connect(&mix, &model::Mix::documentChanged, this, [this] {
        if (!mix.document.saved) return;
        titlePath = mix.document.path;
        setWindowTitle(titlePath.isEmpty() ? QStringLiteral("Vontalix")
                                           : QStringLiteral("Vontalix  -  ") + titlePath);
    });
    // With no clip selected there are no handles either (the clip they stood at may have gone
    // to the other lane).
    connect(&mix, &model::Mix::selectionChanged, this, [this] {
        if (!mix.selection) hideHandles();
    });
    for (LaneView* lane : {laneView1, laneView2}) {
        connect(lane, &LaneView::handlesShown, this, &MainWindow::placeHandles);
        connect(lane, &LaneView::handlesHidden, this, &MainWindow::hideHandles);
    }
    connect(&mix, &model::Mix::viewChanged, this, &MainWindow::scrollRuler);
    // The status line named the clip when it was picked; it must not name a clip that is gone.
    connect(&mix, &model::Mix::clipDeleted, this, [this](const QString& name) {
        if (statusLine->text() == name) statusLine->setText(QString());
    });
}

MainWindow::~MainWindow() {
    if (theWindow == this) theWindow = nullptr;
}

MainWindow* MainWindow::instance() {
    if (!theWindow) {
        theWindow = new MainWindow;
        theWindow->setAttribute(Qt::WA_DeleteOnClose, true);
        theWindow->startUp();
    }
    return theWindow;
}

MainWindow* MainWindow::existing() { return theWindow; }

// ---- Construction ------------------------------------------------------------------------------

namespace {

StaticText* text(MainWindow* w, int left, int top, int width, int height, const char* txt,
                 QColor color, int size = 9) {
    return new StaticText(w->centralWidget(), QRect(left, top, width, height),
                          QString::fromLatin1(txt), color, size);
}

Separator* separator(MainWindow* w, int left, int top, int width, int height) {
    auto* s = new Separator(w->centralWidget());
    s->setGeometry(left, top, width, height);
    return s;
}

Line* line(MainWindow* w, int x1, int y1, int x2, int y2, QColor color) {
    auto* l = new Line(w->centralWidget(), color);
    l->setPoints(x1, y1, x2, y2);
    return l;
}

// A button that runs `clicked` of the window.
FlatButton* button(MainWindow* w, int left, int top, int width, int height,
                   model::PictureRef picture, const char* tip, Qt::Alignment captionAlignment,
                   int textSize, void (MainWindow::*clicked)()) {
    auto* b = new FlatButton(w->centralWidget());
    b->setGeometry(left, top, width, height);
    b->setPicture(std::move(picture));
    b->setToolTip(QString::fromLatin1(tip));
    b->setCaptionAlignment(captionAlignment);
    b->setTextSize(textSize);
    if (clicked) QObject::connect(b, &FlatButton::clicked, w, clicked);
    return b;
}

// A clip handle, pressed, dragged and released through the window's handle commands.
ClipHandle* handle(MainWindow* w, model::Handle which, ClipHandle::Pointing pointing, int left,
                   int top, int width, int height, const char* tip) {
    auto* h = new ClipHandle(w->centralWidget(), which, pointing);
    h->setGeometry(left, top, width, height);
    h->setToolTip(QString::fromLatin1(tip));
    QObject::connect(h, &ClipHandle::pressed, w, [w](int x) { w->handlePressed(x); });
    QObject::connect(h, &ClipHandle::dragged, w, [w, h](int x) { w->handleDragged(*h, x); });
    QObject::connect(h, &ClipHandle::released, w, [w, h] { w->handleReleased(*h); });
    return h;
}

}  // namespace

void MainWindow::createControls() {
    const QColor rulerText(61, 61, 61), timeText(50, 50, 50), previewText(255, 162, 0);

    laneView1 = new LaneView(centralWidget(), 1, mix, playDeck, previewDeck, *this);
    laneView1->setGeometry(0, 45, 800, 33);
    laneView1->setToolTip("Track 1");
    laneView1->setBackdrop(laneBackdropPicture());

    laneView2 = new LaneView(centralWidget(), 2, mix, playDeck, previewDeck, *this);
    laneView2->setGeometry(0, 87, 800, 33);
    laneView2->setToolTip("Track 2");
    laneView2->setBackdrop(laneBackdropPicture());

    folderTarget = new FolderTarget(centralWidget());
    folderTarget->setGeometry(749, 226, 32, 32);
    connect(folderTarget, &FolderTarget::dropped, this, &MainWindow::folderDropped);

    ruler.line = separator(this, 0, 35, 800, 1);
    for (int n = 3; n <= 15; ++n) separator(this, 60 * (n - 2), 30, 1, 5);
    ruler.labels[0] = text(this, 0, 20, 63, 12, "Text:", rulerText);
    ruler.labels[1] = text(this, 300, 20, 100, 12, "Text:", rulerText);
    ruler.labels[2] = text(this, 600, 20, 63, 12, "Text:", rulerText);
    ruler.labels[3] = text(this, 900, 20, 63, 12, "Text:", rulerText);
    statusLine = text(this, 7, 146, 605, 14, "", QColor(70, 70, 70));
    lanes::DeckControls play{.menuAction = menu->playAction};
    lanes::DeckControls preview{.menuAction = menu->previewAction};
    play.labels[0] = text(this, 208, 78, 80, 9, "time", timeText);
    play.labels[1] = text(this, 208, 120, 80, 9, "time2", timeText);
    preview.labels[0] = text(this, 435, 215, 80, 9, "time", previewText);
    preview.labels[1] = text(this, 435, 235, 80, 9, "time2", previewText);

    play.mark = separator(this, 70, 45, 1, 85);
    play.line = line(this, 100, 45, 100, 130, QColor(0, 0, 0));
    play.button = button(this, 93, 129, 15, 16, playButtonPicture(), "", Qt::AlignHCenter, 10,
                         &MainWindow::play);
    playDeckView = new lanes::DeckView(playDeck, mix, centralWidget(), kPlayLooks, play);

    preview.mark = separator(this, 442, 20, 1, 100);
    preview.line = line(this, 423, 20, 423, 119, QColor(255, 162, 0));
    preview.button = button(this, 416, 3, 15, 16, previewButtonPicture(), "preview",
                            Qt::AlignHCenter, 10, &MainWindow::preview);
    previewDeckView =
        new lanes::DeckView(previewDeck, mix, centralWidget(), kPreviewLooks, preview);

    timelineScrollBar = new QScrollBar(Qt::Horizontal, centralWidget());
    timelineScrollBar->setGeometry(0, 164, 680, 16);
    timelineScrollBar->setFocusPolicy(Qt::NoFocus);
    timelineScrollBar->setRange(0, 900);
    timelineScrollBar->setValue(0);
    timelineScrollBar->setSingleStep(1);
    timelineScrollBar->setPageStep(12);
    timelineScrollBar->setTracking(true);
    connect(timelineScrollBar, &QScrollBar::valueChanged, this, &MainWindow::followScroll);

    transport.catchUpOnInput(this);

    findPlayHeadButton = button(this, 690, 163, 16, 16, findPlayHeadPicture(), "find play position",
                                Qt::AlignHCenter, 9, &MainWindow::findPlayHeadClicked);
    findPreviewHeadButton =
        button(this, 712, 163, 16, 16, findPreviewHeadPicture(), "find preview position",
               Qt::AlignRight, 9, &MainWindow::findPreviewHeadClicked);

    handles.inPointGuide = line(this, 277, 7, 277, 32, QColor(0, 0, 0));
    handles.outPointGuide = line(this, 258, 11, 258, 36, QColor(0, 0, 0));
    lane2Border = line(this, 0, 120, 1280, 119, QColor(160, 160, 160));
    lane1Border = line(this, 0, 78, 1280, 77, QColor(160, 160, 160));

    // The in-point handle points right to its column, the out-point handle left, the fade
    // handles down onto the ruler.
    using Pointing = ClipHandle::Pointing;
    handles.inPoint = handle(this, model::Handle::In, Pointing::Right, 245, 35, 8, 9, "in point");
    handles.outPoint = handle(this, model::Handle::Out, Pointing::Left, 282, 35, 8, 9, "out point");
    handles.fadeIn =
        handle(this, model::Handle::FadeIn, Pointing::Down, 186, 11, 9, 9, "fadein ends here");
    handles.fadeOut =
        handle(this, model::Handle::FadeOut, Pointing::Down, 208, 11, 9, 9, "fadeout starts here");

    volumeMeter = new BorderedRectangle(centralWidget());
    volumeMeter->setGeometry(736, 164, 1, 14);
    volumeMeter->setFillColor(QColor(127, 127, 127));
    volumeMeter->setBorderColors(QColor(127, 127, 127), QColor(127, 127, 127));
    volumeMeter->setBorderWidth(1);
    // The bar follows the system volume when the sound server tells of it.
    media::onSystemVolumeChanged(this, [this](double v) { editing::showVolume(*volumeMeter, v); });

    // The ruler's right part, the zoom button and the space-key latch lie over the rest.
    for (int n = 16; n <= 23; ++n) separator(this, 60 * (n - 2), 30, 1, 5);
    ruler.labels[4] = text(this, 1200, 20, 63, 12, "Text:", QColor(61, 61, 61));
    zoomButton = button(this, 745, 163, 40, 16, nullptr, "", Qt::AlignHCenter, 9, nullptr);
    zoomButton->setCaption(QStringLiteral(" 100%"));
    auto* zoomMenu = new QMenu(zoomButton);
    for (const QString& percent : QStringLiteral("25,50,100,200,400").split(','))
        zoomMenu->addAction(percent, this, [this, percent] { zoomChosen(percent); });
    zoomButton->setMenu(zoomMenu);
}

// ---- Menus -----------------------------------------------------------------------------------

void MainWindow::connectMenu() {
    connect(menu->quitAction, &QAction::triggered, this, [] { quitProgram(); });
    connect(menu->newAction, &QAction::triggered, this, &MainWindow::newDocument);
    connect(menu->openAction, &QAction::triggered, this, [this] { open(QString()); });
    connect(menu->openFolderAction, &QAction::triggered, this, &MainWindow::openFolderChosen);
    connect(menu->saveAction, &QAction::triggered, this, [this] { save(); });
    connect(menu->saveAsAction, &QAction::triggered, this, &MainWindow::saveAsChosen);
    // Undo has no command. The clip commands do nothing while the Edit menu would show them
    // dimmed: their shortcuts are taken all the same.
    connect(menu->cutAction, &QAction::triggered, this, [this] {
        if (menu->clipSelected) cutChosen();
    });
    connect(menu->copyAction, &QAction::triggered, this, [this] {
        if (menu->clipSelected) copy();
    });
    connect(menu->pasteAction, &QAction::triggered, this, [this] {
        if (menu->pasteAllowed) paste();
    });
    connect(menu->clearAction, &QAction::triggered, this, [this] {
        if (menu->clipSelected) clear();
    });
    connect(menu->preferencesAction, &QAction::triggered, this, &MainWindow::preferencesChosen);
    connect(menu->playAction, &QAction::triggered, this, &MainWindow::play);
    connect(menu->previewAction, &QAction::triggered, this, &MainWindow::preview);
    connect(menu->dropPreviewAction, &QAction::triggered, this, &MainWindow::dropPreviewChosen);
    connect(menu->aboutAction, &QAction::triggered, this, &MainWindow::aboutChosen);
}

void MainWindow::saveAsChosen() {
    mix.setPath(QString());
    save();
}

void MainWindow::cutChosen() {
    copy();
    clear();
}

// ---- Opening, resizing, status line, reset ---------------------------------------------------

void MainWindow::startUp() {
    // A preview routed to a device that is gone stays silent rather than reaching the audience
    // through the main output; say so, since nothing else would tell the DJ.
    media::setUnavailableRouteHandler([](int32_t id) {
        if (MainWindow* w = MainWindow::existing()) {
            const bool anyDevice = media::routeAvailable(0);
            w->showSoundProblem(anyDevice ? id : 0, engine::unavailableRouteText(anyDevice));
        }
    });
    media::setDeviceLostHandler([](int32_t id, const QString& name) {
        if (MainWindow* w = MainWindow::existing())
            w->showSoundProblem(id, engine::lostDeviceText(name));
    });
    if (!mediaAvailable() || closeWithoutPrompt) {
        MessageSpec spec;
        spec.icon = QMessageBox::Warning;
        spec.message = QStringLiteral("Sorry");
        spec.explanation =
            QStringLiteral("You must have Quicktime installed in order to run this software!");
        spec.actionCaption = QStringLiteral("Quit");
        if (askWithMessage(spec) == DialogAnswer::Action) {
            closeWithoutPrompt = true;
            QMetaObject::invokeMethod(
                qApp, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
        }
    }
    const windows::KeptPreferences kept = windows::keptPreferences();
    previewDevice = kept.previewDevice;
    mix.defaultTransition = kept.transition;
    init();
    // The kept device may be unplugged: the preview then stays silent, never falling back to the
    // main output, and the DJ is told. Asked once the window shows, as it may wait for the
    // sound server.
    if (kept.previewDevice != 0) {
        QTimer::singleShot(0, this, [this, kept] {
            if (!media::routeAvailable(kept.previewDevice) && previewDevice == kept.previewDevice)
                statusLine->setText(engine::missingPreviewDeviceText(kept.previewDeviceName));
        });
    }
}

void MainWindow::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    // Only the user's resizes (and the window system's) move the controls, never our own.
    if (e->spontaneous()) fitToWidth();
}

void MainWindow::userResize(int width) {
    setContentSize(width, centralWidget()->height());
    fitToWidth();
}

void MainWindow::fitToWidth() {
    const int w = viewWidth();
    for (LaneView* lane : {laneView1, laneView2}) lane->resize(w, lane->height());
    folderTarget->move(w - folderTarget->width(), folderTarget->y());
    for (Line* border : {lane2Border, lane1Border})
        border->setPoints(border->x1(), border->y1(), border->x1() + w, border->y2());
    ruler.line->resize(w, ruler.line->height());
    timelineScrollBar->setPageStep(model::whole(w / 60.0));
    timelineScrollBar->resize(w - 120, timelineScrollBar->height());
    zoomButton->move(w - 54, zoomButton->y());
    findPlayHeadButton->move(w - 110, findPlayHeadButton->y());
    findPreviewHeadButton->move(w - 88, findPreviewHeadButton->y());
    volumeMeter->move(w - 64, volumeMeter->y());
}

void MainWindow::init() {
    // The clipboard clip survives a reset; bring it back to zoom 1 with everything else so a
    // later paste gives a clip of the right length.
    if (mix.clipboardClip && mix.pixelsPerSecond > 0 && mix.pixelsPerSecond != 1.0f) {
        model::scaleClipLengths(*mix.clipboardClip, 1.0 / mix.pixelsPerSecond);
        mix.clipboardClip->image = makeClipPicture(
            mix.clipboardClip->name, mix.clipboardClip->lengthPx, mix.clipboardClip->fadeInEnd,
            mix.clipboardClip->fadeOutStart, mix.clipboardClip->inPoint,
            mix.clipboardClip->outPoint, mix.clipboardClip->label);
    }
    mix.setZoom(1.0f);
    zoomButton->setCaption(QStringLiteral(" 100%"));
    transport.timer().setPeriod(10);
    mix.clearSelection();
    playDeck.clearLaneTimes();
    previewDeck.clearLaneTimes();
    // On the timeline; the scroll goes back to the start below.
    playDeck.setHead(100.0);
    previewDeck.setHead(300.0);
    laneView1->clearSelection();
    laneView2->clearSelection();
    scrollRuler();
    mix.setPath(QString());
    mix.document.keptRecords.clear();
    playDeck.forgetClips();
    previewDeck.forgetClips();
    for (int n : {1, 2}) {
        while (!mix.lane(n).empty()) mix.takeClip(n, int(mix.lane(n).size()) - 1);
    }
    laneView1->clearSelection();
    laneView2->clearSelection();
    mix.markSaved();
    timelineScrollBar->setValue(0);
    mix.setScrollX(0);
    mix.pasteTarget.reset();
    for (int i = 0; i < 4; ++i) ruler.labels[i]->move(300 * i, ruler.labels[i]->y());
    editing::showVolume(*volumeMeter, systemVolume());
    // What the status line said was about the document just ended.
    statusLine->setText(QString());
}

model::PictureRef MainWindow::makeClipPicture(const QString& name, double duration,
                                              double fadeInEnd, double fadeOutStart, double start,
                                              double stop, int32_t label) {
    return documents::clipPictureOrSay(name, duration, fadeInEnd, fadeOutStart, start, stop, label);
}
