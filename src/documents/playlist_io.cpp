// The lanes' side of the playlist file: records are made by the pure format code, clips by the
// lanes' own clip maker.
#include "documents/playlist_io.h"

#include <sys/stat.h>

#include <QFileInfo>

#include "media/file_access.h"
#include "model/drop_logic.h"
#include "model/playlist_format.h"
#include "model/regular_file.h"
#include "shell/main_window.h"

namespace documents {

QByteArray laneRecords(const MainWindow& w, const std::vector<ClipRef>& clips, QString* error) {
    return formatLaneRecords(clips, w.mix.pixelsPerSecond, error);
}

bool MediaCheck::playable(const QString& path) {
    const auto known = known_.constFind(path);
    if (known != known_.constEnd()) return *known;
    // Only regular files are opened: a device or a FIFO would block or never end.
    const bool ok = editing::measureMovie(path).has_value();
    known_.insert(path, ok);
    return ok;
}

RecordLoad loadRecord(MainWindow& w, QByteArrayView line, MediaCheck& media, QString* path) {
    PlaylistRecord record;
    const RecordParse parsed = parseRecord(line, record);
    switch (parsed) {
        case RecordParse::NotARecord:
            return RecordLoad::NotARecord;
        case RecordParse::Skipped:
            return RecordLoad::Damaged;
        case RecordParse::BeyondEnd:
        case RecordParse::NotUtf8:
            return keptRecordLoad(parsed, record);
        case RecordParse::Read:
            break;
    }
    if (path) *path = record.path;
    // A file that is there loads even when it is no playable media: the deck then says so.
    const QFileInfo file(record.path);
    if (!file.exists() || file.isDir()) return RecordLoad::MissingFile;
    const RecordLoad laid = layRecord(w, record);
    if (laid != RecordLoad::Loaded) return laid;
    return media.playable(record.path) ? RecordLoad::Loaded : notPlayableLoad(record.path);
}

RecordLoad keptRecordLoad(RecordParse parsed, const PlaylistRecord& record) {
    switch (parsed) {
        case RecordParse::BeyondEnd:
            return RecordLoad::BeyondEnd;
        case RecordParse::NotUtf8: {
            // Its name cannot be read back as text, so the file is looked for by its bytes.
            struct stat st {};
            const bool there =
                ::stat(record.pathBytes.constData(), &st) == 0 && !S_ISDIR(st.st_mode);
            return there ? RecordLoad::NotUtf8 : RecordLoad::MissingFile;
        }
        default:
            return RecordLoad::Damaged;
    }
}

RecordLoad notPlayableLoad(const QString& path) {
    return ::media::readRefused(path) ? RecordLoad::Unreadable : RecordLoad::NotPlayable;
}

RecordLoad layRecord(MainWindow& w, const PlaylistRecord& record) {
    LaneView* lane = w.lane(record.lane);
    if (!lane) return RecordLoad::Damaged;

    const ClipPlacement p = clipPlacement(record, w.mix.pixelsPerSecond, w.mix.scrollX);
    platform::PictureRef picture = w.makeClipPicture(
        p.name, p.duration, p.fadeInEnd, p.fadeOutStart, p.inpoint, p.outpoint, p.label);
    if (!picture) return RecordLoad::NoPicture;
    lane->addNewClip(std::move(picture), p.left, p.y, p.name, p.duration, p.path, p.lane,
                     p.fadeInEnd, p.fadeOutStart, p.inpoint, p.outpoint, p.label);
    Clip& clip = *lane->clips.back();
    clip.centre = p.centre;
    clip.x = p.centre - w.mix.scrollX;
    return RecordLoad::Loaded;
}

MeasuredFile measureRecordFile(const QString& path) {
    const QFileInfo file(path);
    if (!file.exists() || file.isDir()) return {MeasuredFile::Kind::Missing, 0, 0, nullptr};
    MeasuredFile r;
    const std::optional<double> seconds = editing::measureMovie(path, &r.movie);
    r.kind = seconds ? MeasuredFile::Kind::Measured : MeasuredFile::Kind::Failed;
    r.seconds = seconds.value_or(0);
    return r;
}

}  // namespace documents
