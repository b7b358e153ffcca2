// The main window's frame: construction, controls and their wiring, menu wiring, start-up,
// resizing, keys, the click outside the controls and the document reset.
#include "shell/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>

#include "documents/playlist_io.h"
#include "editing/keyboard_commands.h"
#include "engine/routing.h"
#include "lanes/deck_view.h"
#include "media/media.h"
#include "model/click_bands.h"
#include "model/numtext.h"
#include "model/zoom_math.h"
#include "platform/dialogs.h"
#include "platform/keyboard.h"
#include "platform/window.h"
#include "shell/app.h"
#include "shell/clip_handles.h"
#include "shell/deck_commands.h"
#include "shell/document_commands.h"
#include "shell/edit_commands.h"
#include "shell/folder_target.h"
#include "shell/lane_services.h"
#include "shell/main_menu.h"
#include "shell/pictures.h"
#include "shell/timeline_controls.h"
#include "windows/aux_windows.h"
#include "windows/window_logic.h"

using namespace platform;

namespace {

QPointer<MainWindow> theWindow;

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

const QColor kActiveLane(255, 162, 0);
const QColor kInactiveLane(160, 160, 160);

StaticText* text(QWidget* content, int left, int top, int width, int height, const char* txt,
                 QColor color, int size = 9) {
    return new StaticText(content, QRect(left, top, width, height), QString::fromLatin1(txt), color,
                          size);
}

Separator* separator(QWidget* content, int left, int top, int width, int height) {
    auto* s = new Separator(content);
    s->setGeometry(left, top, width, height);
    return s;
}

Line* line(QWidget* content, int x1, int y1, int x2, int y2, QColor color) {
    auto* l = new Line(content, color);
    l->setPoints(x1, y1, x2, y2);
    return l;
}

FlatButton* button(QWidget* content, int left, int top, int width, int height,
                   model::PictureRef picture, const char* tip, Qt::Alignment captionAlignment,
                   int textSize) {
    auto* b = new FlatButton(content);
    b->setGeometry(left, top, width, height);
    b->setPicture(std::move(picture));
    b->setToolTip(QString::fromLatin1(tip));
    b->setCaptionAlignment(captionAlignment);
    b->setTextSize(textSize);
    return b;
}

ClipHandle* handle(QWidget* content, model::Handle which, ClipHandle::Pointing pointing, int left,
                   int top, int width, int height, const char* tip) {
    auto* h = new ClipHandle(content, which, pointing);
    h->setGeometry(left, top, width, height);
    h->setToolTip(QString::fromLatin1(tip));
    return h;
}

template <class Widget>
Widget* named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// ---- The controls' parts that need nothing of the window: later ones lie over earlier ones ----

const QColor kRulerText(61, 61, 61), kTimeText(50, 50, 50), kPreviewText(255, 162, 0);

FolderTarget* addFolderTarget(QWidget* content) {
    auto* folderTarget = named(new FolderTarget(content), "folderTarget");
    folderTarget->setGeometry(749, 226, 32, 32);
    return folderTarget;
}

// The ruler's base line, its ticks and time labels as far as a window of 800 pixels shows.
void addRulerStart(QWidget* content, TimelineControls::Parts& timeline) {
    timeline.rulerLine = named(separator(content, 0, 35, 800, 1), "rulerLine");
    for (int n = 3; n <= 15; ++n) separator(content, 60 * (n - 2), 30, 1, 5);
    for (int i = 0; i < 4; ++i) {
        timeline.rulerLabels[i] =
            text(content, 300 * i, 20, i == 1 ? 100 : 63, 12, "Text:", kRulerText);
        timeline.rulerLabels[i]->setObjectName(QStringLiteral("rulerLabel%1").arg(i));
    }
}

QScrollBar* addScrollBar(QWidget* content) {
    auto* scrollBar = named(new QScrollBar(Qt::Horizontal, content), "timelineScrollBar");
    scrollBar->setGeometry(0, 164, 680, 16);
    scrollBar->setFocusPolicy(Qt::NoFocus);
    scrollBar->setRange(0, 900);
    scrollBar->setValue(0);
    scrollBar->setSingleStep(1);
    scrollBar->setPageStep(12);
    scrollBar->setTracking(true);
    return scrollBar;
}

void addFindHeadButtons(QWidget* content, TimelineControls::Parts& timeline) {
    timeline.findPlayHeadButton = named(button(content, 690, 163, 16, 16, findPlayHeadPicture(),
                                               "find play position", Qt::AlignHCenter, 9),
                                        "findPlayHeadButton");
    timeline.findPreviewHeadButton =
        named(button(content, 712, 163, 16, 16, findPreviewHeadPicture(), "find preview position",
                     Qt::AlignRight, 9),
              "findPreviewHeadButton");
}

ClipHandles::Parts addHandleGuides(QWidget* content) {
    ClipHandles::Parts handles;
    handles.inPointGuide = named(line(content, 277, 7, 277, 32, QColor(0, 0, 0)), "inPointGuide");
    handles.outPointGuide =
        named(line(content, 258, 11, 258, 36, QColor(0, 0, 0)), "outPointGuide");
    return handles;
}

std::array<Line*, 2> addLaneBorders(QWidget* content) {
    std::array<Line*, 2> borders;
    borders[1] = named(line(content, 0, 120, 1280, 119, kInactiveLane), "lane2Border");
    borders[0] = named(line(content, 0, 78, 1280, 77, kInactiveLane), "lane1Border");
    return borders;
}

// The in-point handle points right to its column, the out-point handle left, the fade handles
// down onto the ruler.
void addHandles(QWidget* content, ClipHandles::Parts& handles) {
    using Pointing = ClipHandle::Pointing;
    handles.inPoint =
        named(handle(content, model::Handle::In, Pointing::Right, 245, 35, 8, 9, "in point"),
              "inPointHandle");
    handles.outPoint =
        named(handle(content, model::Handle::Out, Pointing::Left, 282, 35, 8, 9, "out point"),
              "outPointHandle");
    handles.fadeIn = named(
        handle(content, model::Handle::FadeIn, Pointing::Down, 186, 11, 9, 9, "fadein ends here"),
        "fadeInHandle");
    handles.fadeOut = named(handle(content, model::Handle::FadeOut, Pointing::Down, 208, 11, 9, 9,
                                   "fadeout starts here"),
                            "fadeOutHandle");
}

// The ruler's right part and the zoom button lie over the rest.
void addRulerEndAndZoom(QWidget* content, TimelineControls::Parts& timeline) {
    for (int n = 16; n <= 23; ++n) separator(content, 60 * (n - 2), 30, 1, 5);
    timeline.rulerLabels[4] =
        named(text(content, 1200, 20, 63, 12, "Text:", kRulerText), "rulerLabel4");
    timeline.zoomButton =
        named(button(content, 745, 163, 40, 16, nullptr, "", Qt::AlignHCenter, 9), "zoomButton");
    timeline.zoomButton->setCaption(QStringLiteral(" 100%"));
}

}  // namespace

MainWindow::MainWindow() : menu_(new MainMenu(this)) {
    // The content area below the menu bar; the controls are its children, at fixed places.
    auto* content = new QWidget(this);
    setCentralWidget(content);
    content->setFocusPolicy(Qt::StrongFocus);
    setWindowTitle(QStringLiteral("Vontalix"));
    platform::setContentLimits(*this, 640, 180, 1280, 180);
    platform::setContentSize(*this, 800, 180);
    platform::setMaximizeButton(*this, false);
    createControls();
    connectMenu();
    // The status line named the clip when it was picked; it must not name a clip that is gone.
    connect(&mix_, &model::Mix::clipDeleted, this, [this](const QString& name) {
        if (statusLine_->text() == name) statusLine_->showMessage(QString());
    });
}

MainWindow::~MainWindow() {
    if (theWindow == this) theWindow = nullptr;
    // The decks and their transport go before the mix they play, as they came after it.
    delete decks_;
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

void MainWindow::createControls() {
    QWidget* const content = centralWidget();
    createCommands(content);
    createLanes(content);
    TimelineControls::Parts timeline{
        .content = content, .lanes = lanes_, .folderTarget = addFolderTarget(content)};
    connect(timeline.folderTarget, &FolderTarget::dropped, documents_,
            &DocumentCommands::folderDropped);
    addRulerStart(content, timeline);
    createDeckControls(content);
    timeline.scrollBar = addScrollBar(content);
    decks_->transport().catchUpOnInput(this);
    addFindHeadButtons(content, timeline);
    ClipHandles::Parts handles = addHandleGuides(content);
    timeline.laneBorders = laneBorders_ = addLaneBorders(content);
    addHandles(content, handles);
    createVolumeMeter(content);
    timeline.volumeMeter = volumeMeter_;
    addRulerEndAndZoom(content, timeline);

    edits_ = new EditCommands(this, mix_, *decks_, *documents_, *menu_, *laneServices_, lanes_,
                              *volumeMeter_);
    timeline_ = new TimelineControls(this, mix_, *decks_, timeline);
    new ClipHandles(this, mix_, *edits_, *menu_, lanes_, handles);  // owned by the window
}

void MainWindow::createCommands(QWidget* content) {
    // Every command object shows its words in the status line, so it comes first; it is laid
    // among the other controls below. The edit commands come once the lanes and the volume bar
    // they work on are built.
    statusLine_ =
        named(new StatusLineText(content, QRect(7, 146, 605, 14), QString(), QColor(70, 70, 70), 9),
              "statusLine");
    decks_ = new DeckCommands(this, mix_, *statusLine_);
    documents_ = new DocumentCommands(*this, mix_, *statusLine_, [this] { resetDocument(); });
    laneServices_ = new LaneServices(this, mix_, *decks_, *statusLine_);
}

void MainWindow::createLanes(QWidget* content) {
    for (int n : {1, 2}) {
        auto* lane = new LaneView(content, n, mix_, decks_->playDeck(), decks_->previewDeck(),
                                  *laneServices_, *statusLine_);
        lane->setObjectName(QStringLiteral("lane%1").arg(n));
        lane->setGeometry(0, n == 1 ? 45 : 87, 800, 33);
        lane->setToolTip(QStringLiteral("Track %1").arg(n));
        lane->setBackdrop(laneBackdropPicture());
        lanes_[n - 1] = lane;
    }
}

void MainWindow::createDeckControls(QWidget* content) {
    lanes::DeckControls play{.menuAction = menu_->playAction};
    lanes::DeckControls preview{.menuAction = menu_->previewAction};
    play.labels[0] = text(content, 208, 78, 80, 9, "time", kTimeText);
    statusLine_->stackUnder(play.labels[0]);
    play.labels[1] = text(content, 208, 120, 80, 9, "time2", kTimeText);
    preview.labels[0] = text(content, 435, 215, 80, 9, "time", kPreviewText);
    preview.labels[1] = text(content, 435, 235, 80, 9, "time2", kPreviewText);

    play.mark = separator(content, 70, 45, 1, 85);
    play.line = line(content, 100, 45, 100, 130, QColor(0, 0, 0));
    play.button =
        named(button(content, 93, 129, 15, 16, playButtonPicture(), "", Qt::AlignHCenter, 10),
              "playButton");
    connect(play.button, &FlatButton::clicked, decks_, &DeckCommands::play);
    named(new lanes::DeckView(decks_->playDeck(), mix_, content, kPlayLooks, play), "playDeckView");

    preview.mark = separator(content, 442, 20, 1, 100);
    preview.line = line(content, 423, 20, 423, 119, QColor(255, 162, 0));
    preview.button = named(
        button(content, 416, 3, 15, 16, previewButtonPicture(), "preview", Qt::AlignHCenter, 10),
        "previewButton");
    connect(preview.button, &FlatButton::clicked, decks_, &DeckCommands::preview);
    named(new lanes::DeckView(decks_->previewDeck(), mix_, content, kPreviewLooks, preview),
          "previewDeckView");
}

void MainWindow::createVolumeMeter(QWidget* content) {
    volumeMeter_ = named(new BorderedRectangle(content), "volumeMeter");
    volumeMeter_->setGeometry(736, 164, 1, 14);
    volumeMeter_->setFillColor(QColor(127, 127, 127));
    volumeMeter_->setBorderColors(QColor(127, 127, 127), QColor(127, 127, 127));
    volumeMeter_->setBorderWidth(1);
    // The bar follows the system volume when the sound server tells of it.
    media::onSystemVolumeChanged(this, [this](double v) { editing::showVolume(*volumeMeter_, v); });
}

// ---- Menus -----------------------------------------------------------------------------------

void MainWindow::connectMenu() {
    MainMenu* const m = menu_;
    connect(m->quitAction, &QAction::triggered, this, [] { quitProgram(); });
    connect(m->newAction, &QAction::triggered, documents_, &DocumentCommands::newDocument);
    connect(m->openAction, &QAction::triggered, documents_,
            [this] { documents_->open(QString()); });
    connect(m->openFolderAction, &QAction::triggered, documents_, &DocumentCommands::openFolder);
    connect(m->saveAction, &QAction::triggered, documents_, [this] { documents_->save(); });
    connect(m->saveAsAction, &QAction::triggered, documents_, &DocumentCommands::saveAs);
    // Undo has no command. The clip commands do nothing while the Edit menu would show them
    // dimmed: their shortcuts are taken all the same.
    connect(m->cutAction, &QAction::triggered, edits_, [this, m] {
        if (m->clipSelected) edits_->cut();
    });
    connect(m->copyAction, &QAction::triggered, edits_, [this, m] {
        if (m->clipSelected) edits_->copy();
    });
    connect(m->pasteAction, &QAction::triggered, edits_, [this, m] {
        if (m->pasteAllowed) edits_->paste();
    });
    connect(m->clearAction, &QAction::triggered, edits_, [this, m] {
        if (m->clipSelected) edits_->clear();
    });
    // A command for a small window that is open brings it to the front.
    connect(m->preferencesAction, &QAction::triggered, this, [this] {
        PreferencesWindow::instance(this, mix_, *decks_, *statusLine_)->showInFront();
    });
    connect(m->playAction, &QAction::triggered, decks_, &DeckCommands::play);
    connect(m->previewAction, &QAction::triggered, decks_, &DeckCommands::preview);
    connect(m->dropPreviewAction, &QAction::triggered, this,
            [this] { DropPreviewWindow::instance(this, mix_, *decks_)->showInFront(); });
    connect(m->aboutAction, &QAction::triggered, this,
            [this] { AboutWindow::instance(this)->showInFront(); });
}

// ---- Start-up, closing, resizing, keys, clicks, reset ----------------------------------------

void MainWindow::startUp() {
    // A preview routed to a device that is gone stays silent rather than reaching the audience
    // through the main output; say so, since nothing else would tell the DJ.
    media::setUnavailableRouteHandler([](int32_t id) {
        if (MainWindow* w = MainWindow::existing()) w->decks_->transport().showUnavailableRoute(id);
    });
    media::setDeviceLostHandler([](int32_t id, const QString& name) {
        if (MainWindow* w = MainWindow::existing())
            w->decks_->showSoundProblem(id, engine::lostDeviceText(name));
    });
    if (!media::mediaAvailable() || documents_->closesWithoutPrompt()) {
        MessageSpec spec;
        spec.icon = QMessageBox::Warning;
        spec.message = QStringLiteral("Sorry");
        spec.explanation =
            QStringLiteral("You must have Quicktime installed in order to run this software!");
        spec.actionCaption = QStringLiteral("Quit");
        if (askWithMessage(spec) == DialogAnswer::Action) {
            documents_->closeWithoutPrompt();
            QMetaObject::invokeMethod(
                qApp, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
        }
    }
    const windows::KeptPreferences kept = windows::keptPreferences();
    decks_->setPreviewDeviceId(kept.previewDevice);
    mix_.setDefaultTransition(kept.transition);
    resetDocument();
    // The kept device may be unplugged: the preview then stays silent, never falling back to the
    // main output, and the DJ is told. Asked once the window shows, as it may wait for the
    // sound server.
    if (kept.previewDevice != 0) {
        QTimer::singleShot(0, this, [this, kept] {
            if (!media::routeAvailable(kept.previewDevice) &&
                decks_->previewDeviceId() == kept.previewDevice)
                statusLine_->showMessage(engine::missingPreviewDeviceText(kept.previewDeviceName));
        });
    }
}

void MainWindow::openDocument(const QString& path) { documents_->open(path); }

// Every close passes the close guard: the window's button, Quit and the program's end alike.
void MainWindow::closeEvent(QCloseEvent* e) {
    if (documents_->keepOpen()) {
        e->ignore();
    } else {
        e->accept();
    }
}

void MainWindow::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    // Only the user's resizes (and the window system's) move the controls, never our own.
    if (e->spontaneous()) timeline_->fitToWidth();
}

void MainWindow::keyPressEvent(QKeyEvent* e) {
    if (!platform::Keyboard::isModifierKey(e->key()))
        edits_->keyPressed(platform::Keyboard::isRepeat(*e));
    QMainWindow::keyPressEvent(e);
}

void MainWindow::keyReleaseEvent(QKeyEvent* e) {
    if (!platform::Keyboard::isRepeat(*e) && !platform::Keyboard::isModifierKey(e->key()))
        edits_->keyReleased();
    QMainWindow::keyReleaseEvent(e);
}

bool MainWindow::event(QEvent* e) {
    if (e->type() == QEvent::WindowDeactivate) edits_->focusLost();
    return QMainWindow::event(e);
}

void MainWindow::mousePressEvent(QMouseEvent* e) {
    // Presses the controls leave (empty lane space, texts, lines) come here from the content.
    if (e->button() != Qt::LeftButton) {
        QMainWindow::mousePressEvent(e);
        return;
    }
    centralWidget()->setFocus();
    const QPoint p = centralWidget()->mapFrom(this, e->position().toPoint());
    backgroundClicked(p.x(), p.y());
}

void MainWindow::backgroundClicked(int x, int y) {
    for (LaneView* lane : lanes_) lane->clearSelection();
    mix_.clearSelection();
    const int volumeHeight = std::max(0, model::whole(media::systemVolume() * 14));
    volumeMeter_->setGeometry(volumeMeter_->x(), 178 - volumeHeight, volumeMeter_->width(),
                              volumeHeight);
    statusLine_->showMessage(QString());

    engine::Deck& playDeck = decks_->playDeck();
    engine::Deck& previewDeck = decks_->previewDeck();
    const double cx = x;
    const double absolute = cx + static_cast<double>(mix_.scrollX());
    const model::ClickBands bands = model::clickBands(y);
    if (bands.ruler) {
        // Restart the preview from the click, whether it ran or not.
        decks_->transport().stop(previewDeck);
        previewDeck.setHead(absolute);
        decks_->setStartOffsets(previewDeck, cx);
        decks_->preview();
    }
    if (bands.playStrip && !playDeck.running()) {
        playDeck.setHead(absolute);
        decks_->setStartOffsets(playDeck, cx);
    }
    laneBorders_[0]->setLineColor(bands.lane == 1 ? kActiveLane : kInactiveLane);
    laneBorders_[1]->setLineColor(bands.lane == 2 ? kActiveLane : kInactiveLane);
    if (bands.lane != 0) {
        mix_.setPasteTarget(model::PasteTarget{absolute, bands.lane});
        menu_->pasteAllowed = true;
        laneServices_->setActiveLane(bands.lane);
        previewDeck.setHead(absolute);
        decks_->setStartOffsets(previewDeck, cx);
    } else {
        mix_.setPasteTarget(std::nullopt);
        menu_->pasteAllowed = false;
    }
}

void MainWindow::resetDocument() {
    // The clipboard clip survives a reset; bring it back to zoom 1 with everything else so a
    // later paste gives a clip of the right length.
    const float zoom = mix_.pixelsPerSecond();
    if (const model::ClipRef& kept = mix_.clipboardClip(); kept && zoom > 0 && zoom != 1.0f) {
        auto clip = std::make_shared<model::Clip>(*kept);
        model::scaleClipLengths(*clip, 1.0 / zoom);
        clip->image = documents::clipPictureOrSay(*clip);
        mix_.setClipboardClip(std::move(clip));
    }
    mix_.setZoom(1.0f);
    decks_->transport().timer().setPeriod(10);
    mix_.clearSelection();
    engine::Deck& playDeck = decks_->playDeck();
    engine::Deck& previewDeck = decks_->previewDeck();
    playDeck.clearLaneTimes();
    previewDeck.clearLaneTimes();
    // On the timeline; the scroll goes back to the start below.
    playDeck.setHead(100.0);
    previewDeck.setHead(300.0);
    for (LaneView* lane : lanes_) lane->clearSelection();
    mix_.setPath(QString());
    mix_.forgetKeptRecords();
    playDeck.forgetClips();
    previewDeck.forgetClips();
    for (int n : {1, 2}) {
        while (!mix_.lane(n).empty()) mix_.takeClip(n, int(mix_.lane(n).size()) - 1);
    }
    for (LaneView* lane : lanes_) lane->clearSelection();
    mix_.markSaved();
    timeline_->reset();
    mix_.setPasteTarget(std::nullopt);
    editing::showVolume(*volumeMeter_, media::systemVolume());
    // What the status line said was about the document just ended.
    statusLine_->showMessage(QString());
}
