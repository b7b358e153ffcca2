#include "editing/lane_drops.h"

#include <QFileInfo>
#include <algorithm>
#include <cmath>

#include "editing/clipboard.h"
#include "model/clip_bounds.h"
#include "model/clip_name.h"
#include "model/drop_logic.h"
#include "model/file_label.h"
#include "model/id3v1.h"
#include "model/lane_logic.h"
#include "model/numtext.h"
#include "model/plist_reader.h"
#include "model/regular_file.h"
#include "platform/keyboard.h"
#include "platform/media_measure.h"

using platform::DragItem;

namespace editing {

namespace {

// The program's own Shift drag of a clip out of the other lane. The drag names the clip by its
// identity, so a clip that was moved or deleted meanwhile is never confused with another one; a
// clip dropped back on its own lane, a drag from another process and any foreign data are
// ignored. True when the clip was laid on the target lane.
bool takeClipFromOtherLane(model::Mix& mix, DropHost& host, int target, const DragItem& item) {
    const std::optional<model::ClipDrag> drag = model::decodeClipDrag(item.clipData());
    if (!drag || drag->lane == target) return false;
    if (drag->lane != 1 && drag->lane != 2) return false;
    const std::vector<model::ClipRef>& source = mix.lane(drag->lane);
    // Only compared with the lane's clips, never followed.
    const int index = mix.indexOf(drag->lane, reinterpret_cast<const model::Clip*>(drag->clip));
    if (index < 0) return false;
    const model::ClipRef clip = source[index];

    // Grabbed far right of its edge, the clip could land before the timeline's start: its left
    // edge stops there, as in a drag along the lane.
    const double left = std::max<double>(item.dropLeft(), -mix.scrollX());
    if (!model::placeIsFree(mix.lane(target), left, clip->lengthPx, mix.scrollX())) {
        host.statusLine().showMessage(kOverlapRefusedText);
        return false;
    }
    const bool move = !platform::Keyboard::altDown();
    // The play deck may have started sounding the clip while it was being dragged; it is not
    // taken away from under the deck.
    if (move && host.soundingOnPlayDeck(clip)) {
        host.statusLine().showMessage(QStringLiteral("do not move a playing track"));
        return false;
    }
    const double length = model::whole(clip->lengthPx), fadeInEnd = model::whole(clip->fadeInEnd),
                 fadeOutStart = model::whole(clip->fadeOutStart),
                 start = model::whole(clip->inPoint), stop = model::whole(clip->outPoint);
    // The clip leaves its lane only once its new picture exists (the maker said why not).
    model::PictureRef picture =
        host.makeClipPicture(clip->name, length, fadeInEnd, fadeOutStart, start, stop, clip->label);
    if (!picture) return false;
    if (move) mix.takeClip(drag->lane, index);
    mix.addNewClip(target, left,
                   {.image = std::move(picture),
                    .name = clip->name,
                    .path = clip->path,
                    .lengthPx = static_cast<double>(length),
                    .inPoint = start,
                    .outPoint = stop,
                    .fadeInEnd = fadeInEnd,
                    .fadeOutStart = fadeOutStart,
                    .label = clip->label,
                    .lane = target});
    return true;
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

DroppedFile droppedFile(const DragItem& item) {
    const QStringList files = item.files();
    if (item.hasText()) {
        const QString path = model::textDropPath(item.text());
        // A file manager also offers its files as text; they are still file drags.
        if (model::isRegularFile(path)) {
            const bool fileDrag = model::namesOneOf(path, files);
            return {path, fileDrag, fileDrag ? files.size() : 0};
        }
    }
    if (item.hasPrivateData(QStringLiteral("itun"))) {
        const QString path = libraryTrackPath(item);
        if (!path.isEmpty()) return {path, false};
    }
    return {files.isEmpty() ? QString() : files.first(), true, files.size()};
}

// What became of a media file dropped on a lane.
enum class FileDrop {
    Failed,   // the handling ends; the status line says why
    Refused,  // the place is taken; the status line says so
    Laid,
};

FileDrop takeFile(model::Mix& mix, DropHost& host, int target, const DragItem& item) {
    const auto [path, typeMatters, dragFiles] = droppedFile(item);
    if (path.isEmpty()) {
        host.statusLine().showMessage(item.hasText() ? QStringLiteral("error opening: ") +
                                                           model::statusLineText(item.text())
                                                     : QStringLiteral("error opening file."));
        return FileDrop::Failed;
    }
    const QFileInfo info(path);
    const QString absolute = info.absoluteFilePath();
    const QString displayName = info.fileName();
    if (const auto problem = model::playlistPathProblem(absolute);
        problem != model::PathProblem::None) {
        host.statusLine().showMessage(model::refusedPathText(absolute, problem));
        return FileDrop::Failed;
    }
    const int32_t label = model::fileLabel(absolute);
    std::optional<double> seconds;
    if (!typeMatters || platform::laneTakesFileType(absolute))
        seconds = platform::measureMovie(absolute);
    if (!seconds) {
        host.statusLine().showMessage(QStringLiteral("Error opening ") + displayName +
                                      QStringLiteral(" as movie."));
        return FileDrop::Failed;
    }
    // Nothing longer may become a clip: a playlist would not read it back, and a forged header
    // can claim any length.
    if (!std::isfinite(*seconds) || *seconds > model::kMaxClipSeconds) {
        host.statusLine().showMessage(
            displayName + QStringLiteral(" is longer than 24 hours: it cannot be a clip."));
        return FileDrop::Failed;
    }
    const int32_t length = model::clipWidth(*seconds, mix.pixelsPerSecond());
    if (length < 1) {
        // A clip narrower than a pixel could be neither seen nor picked.
        host.statusLine().showMessage(displayName +
                                      QStringLiteral(" is too short for a clip at this zoom."));
        return FileDrop::Failed;
    }
    const QString name = droppedClipName(displayName, absolute);
    const double left = item.dropLeft();
    if (!model::placeIsFree(mix.lane(target), left, length, mix.scrollX())) {
        host.statusLine().showMessage(kOverlapRefusedText);
        return FileDrop::Refused;
    }
    model::PictureRef picture = host.makeClipPicture(name, length, 0, length, 0, length, label);
    if (!picture) return FileDrop::Failed;  // the picture maker has said why
    mix.addNewClip(target, left,
                   {.image = std::move(picture),
                    .name = name,
                    .path = absolute,
                    .lengthPx = static_cast<double>(length),
                    .label = label,
                    .lane = target});
    if (dragFiles > 1) {
        host.statusLine().showMessage(
            QStringLiteral("Only the first of the ") + QString::number(dragFiles) +
            QStringLiteral(" dropped files was taken: \"") + displayName + QStringLiteral("\"."));
    }
    return FileDrop::Laid;
}

}  // namespace

void acceptLaneDrops(platform::DropAcceptance& lane) {
    lane.acceptClips();  // a clip dragged from the other lane
    for (const QString& type : model::laneFileTypes()) lane.acceptFiles(type);
    lane.acceptText();  // a file URL or path
    lane.acceptPrivateData(QStringLiteral("itun"));
}

bool takeLaneDrop(model::Mix& mix, DropHost& host, int lane, const DragItem& item) {
    bool laid = item.hasClip() && takeClipFromOtherLane(mix, host, lane, item);
    if (item.hasFiles() || item.hasText() || item.hasPrivateData(QStringLiteral("itun"))) {
        const FileDrop file = takeFile(mix, host, lane, item);
        if (file == FileDrop::Failed) return laid;
        laid = laid || file == FileDrop::Laid;
    }
    mix.clearSelection();
    return laid;
}

QString libraryTrackPath(const DragItem& item) {
    const QString type = QStringLiteral("itun");
    if (!item.hasPrivateData(type)) return QString();
    return model::trackPathInLibraryData(item.privateData(type));
}

QString droppedClipName(const QString& fileName, const QString& path) {
    const model::Id3v1Tag tag = model::readId3v1(path);
    return model::clipName(fileName, tag.title, tag.artist);
}

}  // namespace editing
