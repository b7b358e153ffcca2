// The drop-preview window: a file, a library track or a lane's clip dropped on its one row plays
// at once on the preview device, through a control bar of its own. The row can be dragged on to
// a lane as the previewed file's URL.
#include <QFileInfo>
#include <QUrl>
#include <algorithm>

#include "media/movie.h"
#include "model/lane_logic.h"
#include "model/mix.h"
#include "model/plist_reader.h"
#include "windows/aux_windows.h"

using platform::DragItem;

namespace {

QPointer<DropPreviewWindow> thePreview;

const QString kPrompt = QStringLiteral("Drop files from iTunes or Finder here.");
const QString kOpenError = QStringLiteral("error opening file.");
constexpr int kMargin = 9;
const QString kLibraryType = QStringLiteral("itun");

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
    const std::optional<model::ClipDrag> drag = model::decodeClipDrag(item.clipData());
    if (!drag || (drag->lane != 1 && drag->lane != 2)) return QString();
    // Only compared with the lane's clips, never followed.
    const int index = mix.indexOf(drag->lane, reinterpret_cast<const model::Clip*>(drag->clip));
    return index < 0 ? QString() : mix.lane(drag->lane)[static_cast<size_t>(index)]->path;
}

// Takes the drops the preview plays; a dragged row carries the window's title.
class DropList final : public windows::ListBox {
  public:
    explicit DropList(DropPreviewWindow& window) : ListBox(&window), window_(window) {}

  protected:
    bool writeRowDrag(DragItem& item, int) override {
        item.setText(window_.windowTitle());
        return true;
    }
    bool dropped(const DragItem& item) override { return window_.preview(item); }

  private:
    DropPreviewWindow& window_;
};

}  // namespace

DropPreviewWindow::DropPreviewWindow(QWidget* owner, const model::Mix& mix,
                                     windows::PreviewDeviceHost& device)
    : SmallWindow(owner, Kind::Floating, QStringLiteral("Drop for Preview"), {}),
      mix_(mix),
      device_(device) {
    setMinimumSize(windows::kMinSize, windows::kMinSize);
    setMaximumSize(windows::kMaxSize, windows::kMaxSize);
    playerBar = new windows::PlayerBar(player, this);
    playerBar->setGeometry(9, 35, 274, 16);
    dropList = new DropList(*this);
    dropList->setGeometry(9, 5, 274, 18);
    dropList->setTextSize(12);
    dropList->setDefaultRowHeight(0);
    dropList->setDragEnabled(true);
    dropList->acceptPictureDrop();
    for (const char* type : kPreviewTypes) dropList->acceptFileDrop(QString::fromLatin1(type));
    dropList->addRow(kPrompt);
    dropList->acceptLibraryDrop(kLibraryType);
    resize(294, 64);
}

DropPreviewWindow* DropPreviewWindow::instance(QWidget* owner, const model::Mix& mix,
                                               windows::PreviewDeviceHost& device) {
    return windows::openOrBuild(thePreview, owner, mix, device);
}
DropPreviewWindow* DropPreviewWindow::existing() { return thePreview; }

// The list and the player keep their left and right margins as the window widens.
void DropPreviewWindow::resizeEvent(QResizeEvent* e) {
    SmallWindow::resizeEvent(e);
    const int width = std::max(0, this->width() - 2 * kMargin);
    dropList->resize(width, dropList->height());
    playerBar->resize(width, playerBar->height());
}

// The drag's file wins over its library track, and a lane's clip over both. A file that cannot
// be opened changes nothing but the row's text, which says so.
bool DropPreviewWindow::preview(const DragItem& item) {
    QString file;
    if (item.hasPrivateData(kLibraryType))
        file = model::trackPathInLibraryData(item.privateData(kLibraryType));
    if (item.hasFiles()) {
        file = item.firstFile();
        if (!QFileInfo(file).isFile()) {
            dropList->setCell(0, 0, kOpenError);
            return false;
        }
    }
    if (item.hasClip()) {
        const QString clipFile = laneClipPath(mix_, item);
        if (!clipFile.isEmpty()) file = clipFile;
    }
    if (file.isEmpty()) return false;

    const media::MovieRef movie = media::openMovie(file);
    if (!movie) {
        dropList->setCell(0, 0, kOpenError);
        return false;
    }
    dropList->setCell(0, 0, QFileInfo(file).fileName());
    setWindowTitle(
        QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()).toString(QUrl::FullyEncoded));
    // A preview still sounding fades out as the new movie takes its place.
    player.setMovie(movie);
    device_.routeToPreviewDevice(player);
    player.play();
    playerBar->refresh();
    return true;
}
