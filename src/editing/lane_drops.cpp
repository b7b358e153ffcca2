// A drop on a lane becomes a clip: a clip carried over from the other lane (moved, or copied with
// Option), or a media file given as a file, as a file URL or path in text, or as a music library's
// track. No clip may take a place that overlaps one already on the lane.
#include <QFileInfo>
#include <algorithm>
#include <cmath>

#include "model/clip_bounds.h"
#include "model/clip_name.h"
#include "model/drop_logic.h"
#include "model/file_label.h"
#include "model/id3v1.h"
#include "model/lane_logic.h"
#include "model/numtext.h"
#include "model/regular_file.h"
#include "platform/keyboard.h"
#include "shell/main_window.h"
#include "shell/pictures.h"

using platform::DragItem;

namespace {

constexpr double kClipCentreY = 16;

// The program's own Shift drag of a clip out of the other lane. The drag names the clip by its
// identity, so a clip that was moved or deleted meanwhile is never confused with another one; a
// clip dropped back on its own lane, a drag from another process and any foreign data are
// ignored.
void takeClipFromOtherLane(MainWindow& w, LaneView& target, const DragItem& item) {
    const std::optional<lanes::ClipDrag> drag = lanes::decodeClipDrag(item.clipData());
    if (!drag || drag->lane == target.lane()) return;
    LaneView* source = w.lane(drag->lane);
    if (!source) return;
    // Only compared with the lane's clips, never followed.
    const int index = source->indexOf(reinterpret_cast<const Clip*>(drag->clip));
    if (index < 0) return;
    const ClipRef clip = source->clips[index];

    // Grabbed far right of its edge, the clip could land before the timeline's start: its left
    // edge stops there, as in a drag along the lane.
    const double left = std::max<double>(item.DropLeft(), -w.mix.scrollX);
    if (!editing::placeIsFree(target.clips, left, clip->lengthPx)) {
        w.comment(1, QString());
        return;
    }
    const bool move = !platform::Keyboard::AsyncOptionKey();
    // The play deck may have started sounding the clip while it was being dragged; it is not
    // taken away from under the deck.
    if (move && (clip == w.playDeck.current[0] || clip == w.playDeck.current[1])) {
        w.statusLine->setText(QStringLiteral("do not move a playing track"));
        return;
    }
    const double length = whole(clip->lengthPx), fadeInEnd = whole(clip->fadeInEnd),
                 fadeOutStart = whole(clip->fadeOutStart), start = whole(clip->inPoint),
                 stop = whole(clip->outPoint);
    // The clip leaves its lane only once its new picture exists (the maker said why not).
    platform::PictureRef picture =
        w.makeClipPicture(clip->name, length, fadeInEnd, fadeOutStart, start, stop, clip->label);
    if (!picture) return;
    if (move) source->clips.erase(source->clips.begin() + index);
    target.addNewClip(std::move(picture), left, kClipCentreY, clip->name, length, clip->path,
                      target.lane(), fadeInEnd, fadeOutStart, start, stop, clip->label);
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

DroppedFile droppedFile(MainWindow& w, DragItem& item) {
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
        const QString path = w.dropFromLibrary(item);
        if (!path.isEmpty()) return {path, false};
    }
    return {files.isEmpty() ? QString() : files.first(), true, files.size()};
}

// A media file dropped on the lane. False when the handling ends in a failure, which the status
// line reports.
bool takeFile(MainWindow& w, LaneView& target, DragItem& item) {
    const auto [path, typeMatters, dragFiles] = droppedFile(w, item);
    if (path.isEmpty()) {
        w.statusLine->setText(item.TextAvailable() ? QStringLiteral("error opening: ") +
                                                         editing::statusLineText(item.Text())
                                                   : QStringLiteral("error opening file."));
        return false;
    }
    const QFileInfo info(path);
    const QString absolute = info.absoluteFilePath();
    const QString displayName = info.fileName();
    if (const auto problem = editing::playlistPathProblem(absolute);
        problem != editing::PathProblem::None) {
        w.statusLine->setText(editing::refusedPathText(absolute, problem));
        return false;
    }
    const int32_t label = editing::fileLabel(absolute);
    std::optional<double> seconds;
    if (!typeMatters || editing::laneTakesFileType(absolute))
        seconds = editing::measureMovie(absolute);
    if (!seconds) {
        w.statusLine->setText(QStringLiteral("Error opening ") + displayName +
                              QStringLiteral(" as movie."));
        return false;
    }
    // Nothing longer may become a clip: a playlist would not read it back, and a forged header
    // can claim any length.
    if (!std::isfinite(*seconds) || *seconds > lanes::kMaxClipSeconds) {
        w.statusLine->setText(displayName +
                              QStringLiteral(" is longer than 24 hours: it cannot be a clip."));
        return false;
    }
    const int32_t length = editing::clipWidth(*seconds, w.mix.pixelsPerSecond);
    if (length < 1) {
        // A clip narrower than a pixel could be neither seen nor picked.
        w.statusLine->setText(displayName +
                              QStringLiteral(" is too short for a clip at this zoom."));
        return false;
    }
    const QString name = w.clipName(displayName, absolute);
    const double left = item.DropLeft();
    if (!editing::placeIsFree(target.clips, left, length)) {
        w.comment(1, QString());
        return true;
    }
    platform::PictureRef picture = w.makeClipPicture(name, length, 0, length, 0, length, label);
    if (!picture) return false;  // the picture maker has said why
    target.addNewClip(std::move(picture), left, kClipCentreY, name, length, absolute, target.lane(),
                      0, length, 0, length, label);
    if (dragFiles > 1) {
        w.statusLine->setText(QStringLiteral("Only the first of the ") + Str(int32_t(dragFiles)) +
                              QStringLiteral(" dropped files was taken: \"") + displayName +
                              QStringLiteral("\"."));
    }
    return true;
}

}  // namespace

void MainWindow::dropOnLane(LaneView* canvas, DragItem& item, int) {
    if (!canvas) return;
    canvas->setBackdrop(laneBackdropPicture());
    // One drag that entered a lane gives at most one handled drop.
    if (!dropPending) return;
    dropPending = false;
    if (item.PictureAvailable()) takeClipFromOtherLane(*this, *canvas, item);
    if (item.FolderItemAvailable() || item.TextAvailable() ||
        item.MacDataAvailable(QStringLiteral("itun"))) {
        if (!takeFile(*this, *canvas, item)) return;
    }
    refreshLanes();
}

// The clip name of a dropped file, from the ID3v1 tag of the file at path.
QString MainWindow::clipName(const QString& fileName, const QString& path) {
    const editing::Id3v1Tag tag = editing::readId3v1(path);
    return editing::clipName(fileName, tag.title, tag.artist);
}
