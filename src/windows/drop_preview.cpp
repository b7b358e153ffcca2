// The drop-preview window: a file, a library track or a lane's clip dropped on its one row plays
// at once on the preview device, through a control bar of its own. The row can be dragged on to
// a lane as the previewed file's URL.
#include <QEvent>
#include <QFileInfo>
#include <QUrl>

#include "media/movie.h"
#include "model/lane_logic.h"
#include "model/mix.h"
#include "model/numtext.h"
#include "model/plist_reader.h"
#include "windows/aux_windows.h"
#include "windows/window_parts.h"

using platform::DragItem;

namespace {

QPointer<DropPreviewWindow> thePreview;

const QString kPrompt = QStringLiteral("Drop files from iTunes or Finder here.");
const QString kOpenError = QStringLiteral("error opening file.");
constexpr int kMargin = 9;

// The media types the row takes. Names the program does not register itself ("video/mpeg",
// "video/h264", "audio/x-wav", "audio/x-aiff") take what the desktop's MIME database gives them.
constexpr const char* kPreviewTypes[] = {
    "video/quicktime", "video/x-mpeg", "video/mpeg",   "video/h264",    "audio/aac",
    "audio/mp3",       "audio/mp4",    "audio/x-mpeg", "audio/x-mpeg3", "audio/mpeg",
    "audio/mpeg3",     "audio/x-wav",  "audio/x-aiff",
};

// The media file of a clip carried off a lane by the program's own drag, found by the clip's
// identity among the clips the lane holds now; "" when the drag names no clip of a lane (a clip
// deleted meanwhile, another process's drag).
QString laneClipPath(const model::Mix& mix, const DragItem& item) {
    const std::optional<lanes::ClipDrag> drag = lanes::decodeClipDrag(item.clipData());
    if (!drag || (drag->lane != 1 && drag->lane != 2)) return QString();
    // Only compared with the lane's clips, never followed.
    const int index = mix.indexOf(drag->lane, reinterpret_cast<const Clip*>(drag->clip));
    return index < 0 ? QString() : mix.lane(drag->lane)[static_cast<size_t>(index)]->path;
}

}  // namespace

DropPreviewWindow::DropPreviewWindow(QWidget* owner, const model::Mix& mix,
                                     windows::PreviewDeviceHost& device)
    : owner_(owner), mix_(mix), device_(device) {}

DropPreviewWindow* DropPreviewWindow::instance(QWidget* owner, const model::Mix& mix,
                                               windows::PreviewDeviceHost& device) {
    return windows::openOrBuild(thePreview, owner, mix, device);
}
DropPreviewWindow* DropPreviewWindow::existing() { return thePreview; }

void DropPreviewWindow::Layout() {
    setFrame(7, owner_, false, false);
    setTitle(QStringLiteral("Drop for Preview"));
    setContentLimits(windows::kMinSize, windows::kMinSize, windows::kMaxSize, windows::kMaxSize);
    setContentSize(294, 64);
}

void DropPreviewWindow::CreateControls() {
    dropPreviewPlayer = windows::place(
        this, new platform::MoviePlayer(content(), "droppreviewplayer"), 9, 35, 274, 16);
    dropPreviewPlayer->timeText = [](double seconds) { return lanes::timeText(seconds); };
    dropPreviewPlayer->setController(2);
    dropList = windows::place(this, new platform::ListBox(content(), "dropList"), 9, 5, 274, 18);
    dropList->setColumnCount(1);
    dropList->setHasHeading(false);
    dropList->setTextSize(12);
    dropList->setDefaultRowHeight(-1);
    dropList->onOpen = [this] { dropListOpened(); };
    dropList->onDragRow = [this](DragItem& item, int row) { return dropListDragRow(item, row); };
    dropList->onDropObject = [this](DragItem& item, int action) { dropListDrop(item, action); };
}

// The list and the player keep their left and right margins as the window widens.
bool DropPreviewWindow::eventFilter(QObject* watched, QEvent* e) {
    if (watched == content() && e->type() == QEvent::Resize && dropList) {
        const int width = Width() - 2 * kMargin;
        dropList->setWidth(width);
        dropPreviewPlayer->setWidth(width);
    }
    return platform::Window::eventFilter(watched, e);
}

void DropPreviewWindow::dropListOpened() {
    dropList->setEnableDrag(true);
    dropList->AcceptPictureDrop();
    for (const char* type : kPreviewTypes) dropList->AcceptFileDrop(QString::fromLatin1(type));
    dropList->AddRow(kPrompt);
    dropList->AcceptMacDataDrop(QStringLiteral("itun"));
}

// The drag's file wins over its library track, and a lane's clip over both. A file that cannot
// be opened changes nothing but the row's text, which says so.
void DropPreviewWindow::dropListDrop(DragItem& item, int) {
    const QString libraryType = QStringLiteral("itun");
    QString file;
    if (item.MacDataAvailable(libraryType))
        file = editing::itunesTrackPath(item.MacData(libraryType));
    if (item.FolderItemAvailable()) {
        file = item.FolderItem();
        if (!QFileInfo(file).isFile()) {
            dropList->setCell(0, 0, kOpenError);
            return;
        }
    }
    if (item.PictureAvailable()) {
        const QString clipFile = laneClipPath(mix_, item);
        if (!clipFile.isEmpty()) file = clipFile;
    }
    if (file.isEmpty()) return;

    const media::MovieRef movie = media::openMovie(file);
    if (!movie) {
        dropList->setCell(0, 0, kOpenError);
        return;
    }
    dropList->setCell(0, 0, QFileInfo(file).fileName());
    setTitle(QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()).toString(QUrl::FullyEncoded));
    // A preview still sounding fades out as the new movie takes its place.
    dropPreviewPlayer->setMovie(movie);
    device_.routeToPreviewDevice(dropPreviewPlayer);
    dropPreviewPlayer->Play();
    dropPreviewPlayer->refreshBar();
}

// Whichever row is dragged, it carries the title: the previewed file's URL, which a lane takes.
bool DropPreviewWindow::dropListDragRow(DragItem& item, int) {
    item.setText(Title());
    return true;
}
