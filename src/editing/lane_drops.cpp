// A drop on a lane becomes a clip: a clip carried over from the other lane (moved, or copied with
// Option), or a media file given as a file, as a file URL or path in text, or as a music library's
// track. No clip may take a place that overlaps one already on the lane.
#include <QFileInfo>
#include <algorithm>
#include <cmath>

#include "editing/drop_logic.h"
#include "editing/file_label.h"
#include "editing/id3v1.h"
#include "editing/putznam.h"
#include "editing/regular_file.h"
#include "lanes/clip_bounds.h"
#include "lanes/lane_logic.h"
#include "platform/keyboard.h"
#include "platform/numtext.h"
#include "shell/pictures.h"
#include "shell/window1.h"

using platform::DragItem;

namespace {

constexpr double kClipCentreY = 16;

// The program's own Shift drag of a clip out of the other lane. The drag names the clip by its
// identity, so a clip that was moved or deleted meanwhile is never confused with another one; a
// clip dropped back on its own lane, a drag from another process and any foreign data are
// ignored.
void takeClipFromOtherLane(Window1& w, DragCanvas& target, const DragItem& item) {
    const std::optional<lanes::ClipDrag> drag = lanes::decodeClipDrag(item.clipData());
    if (!drag || drag->lane == target.lane()) return;
    DragCanvas* source = w.lane(drag->lane);
    if (!source) return;
    // Only compared with the lane's clips, never followed.
    const int index = source->indexOf(reinterpret_cast<const DragPic*>(drag->clip));
    if (index < 0) return;
    const DragPicRef clip = source->mPics[index];

    // Grabbed far right of its edge, the clip could land before the timeline's start: its left
    // edge stops there, as in a drag along the lane.
    const double left = std::max<double>(item.DropLeft(), -w.scrollwert);
    if (!editing::placeIsFree(target.mPics, left, clip->pdauer)) {
        w.comment(1, QString());
        return;
    }
    const bool move = !platform::Keyboard::AsyncOptionKey();
    // The play deck may have started sounding the clip while it was being dragged; it is not
    // taken away from under the deck.
    if (move && (clip == w.pam || clip == w.pam2)) {
        w.msg->setText(QStringLiteral("do not move a playing track"));
        return;
    }
    const double dauer = whole(clip->pdauer), fadein = whole(clip->pfadein),
                 fadeout = whole(clip->pfadeout), start = whole(clip->pstart),
                 stop = whole(clip->pstop);
    // The clip leaves its lane only once its new picture exists (the maker said why not).
    platform::PictureRef picture =
        w.zeichnetrack(clip->pname, dauer, fadein, fadeout, start, stop, clip->pfarbe);
    if (!picture) return;
    if (move) source->mPics.erase(source->mPics.begin() + index);
    target.AddPicture(std::move(picture), left, kClipCentreY, clip->pname, dauer, clip->ppfad,
                      target.lane(), fadein, fadeout, start, stop, clip->pfarbe);
}

// The file a drop names: text first (a file URL or an absolute path naming a regular file), then a
// music library's track, then the first file of the drag. An empty path when none of them gives
// one.
struct DroppedFile {
    QString path;
    // Only a file dragged as a file must be of a type the lane takes; a file named by text or by
    // a library track is opened as a movie whatever its name.
    bool typeMatters = false;
    // How many files the drag carried when the path is one of them: only the first is laid.
    qsizetype dragFiles = 0;
};

DroppedFile droppedFile(Window1& w, DragItem& item) {
    const QStringList files = item.files();
    if (item.TextAvailable()) {
        const QString path = editing::textDropPath(item.Text());
        // A file manager also offers its files as text; they are still file drags.
        if (editing::isRegularFile(path)) {
            const bool fileDrag = editing::namesOneOf(path, files);
            return {path, fileDrag, fileDrag ? files.size() : 0};
        }
    }
    if (item.MacDataAvailable(QStringLiteral("itun"))) {
        const QString path = w.dropfromtunes(item);
        if (!path.isEmpty()) return {path, false};
    }
    return {files.isEmpty() ? QString() : files.first(), true, files.size()};
}

// A media file dropped on the lane. False when the handling ends in a failure, which the status
// line reports.
bool takeFile(Window1& w, DragCanvas& target, DragItem& item) {
    const auto [path, typeMatters, dragFiles] = droppedFile(w, item);
    if (path.isEmpty()) {
        w.msg->setText(item.TextAvailable() ? QStringLiteral("error opening: ") +
                                                  editing::statusLineText(item.Text())
                                            : QStringLiteral("error opening file."));
        return false;
    }
    const QFileInfo info(path);
    const QString absolute = info.absoluteFilePath();
    const QString displayName = info.fileName();
    if (const auto problem = editing::playlistPathProblem(absolute);
        problem != editing::PathProblem::None) {
        w.msg->setText(editing::refusedPathText(absolute, problem));
        return false;
    }
    const int32_t label = editing::fileLabel(absolute);
    std::optional<double> seconds;
    if (!typeMatters || editing::laneTakesFileType(absolute))
        seconds = editing::measureMovie(absolute);
    if (!seconds) {
        w.msg->setText(QStringLiteral("Error opening ") + displayName +
                       QStringLiteral(" as movie."));
        return false;
    }
    // Nothing longer may become a clip: a playlist would not read it back, and a forged header
    // can claim any length.
    if (!std::isfinite(*seconds) || *seconds > lanes::kMaxClipSeconds) {
        w.msg->setText(displayName +
                       QStringLiteral(" is longer than 24 hours: it cannot be a clip."));
        return false;
    }
    const int32_t dauer = editing::clipWidth(*seconds, w.zoomwert);
    if (dauer < 1) {
        // A clip narrower than a pixel could be neither seen nor picked.
        w.msg->setText(displayName + QStringLiteral(" is too short for a clip at this zoom."));
        return false;
    }
    const QString name = w.putznam(displayName, absolute);
    const double left = item.DropLeft();
    if (!editing::placeIsFree(target.mPics, left, dauer)) {
        w.comment(1, QString());
        return true;
    }
    platform::PictureRef picture = w.zeichnetrack(name, dauer, 0, dauer, 0, dauer, label);
    if (!picture) return false;  // the picture maker has said why
    target.AddPicture(std::move(picture), left, kClipCentreY, name, dauer, absolute, target.lane(),
                      0, dauer, 0, dauer, label);
    if (dragFiles > 1) {
        w.msg->setText(QStringLiteral("Only the first of the ") + Str(int32_t(dragFiles)) +
                       QStringLiteral(" dropped files was taken: \"") + displayName +
                       QStringLiteral("\"."));
    }
    return true;
}

}  // namespace

void Window1::dropaufcanvas(DragCanvas* canvas, DragItem& item, int) {
    if (!canvas) return;
    canvas->setBackdrop(spur());
    // One drag that entered a lane gives at most one handled drop.
    if (!dropbar) return;
    dropbar = false;
    if (item.PictureAvailable()) takeClipFromOtherLane(*this, *canvas, item);
    if (item.FolderItemAvailable() || item.TextAvailable() ||
        item.MacDataAvailable(QStringLiteral("itun"))) {
        if (!takeFile(*this, *canvas, item)) return;
    }
    refreshc();
}

// The clip name of a dropped file, from the ID3v1 tag of the file at path.
QString Window1::putznam(const QString& fileName, const QString& path) {
    const editing::Id3v1Tag tag = editing::readId3v1(path);
    return editing::putznam(fileName, tag.title, tag.artist);
}
