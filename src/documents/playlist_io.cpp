// The mix's side of the playlist file: records are made by the pure format code, clips are put
// on the mix's lanes.
#include "documents/playlist_io.h"

#include <sys/stat.h>

#include <QFileInfo>

#include "media/file_access.h"
#include "model/clip_picture.h"
#include "model/drop_logic.h"
#include "model/playlist_format.h"
#include "model/regular_file.h"
#include "platform/dialogs.h"
#include "platform/media_measure.h"

namespace documents {

QByteArray laneRecords(const model::Mix& mix, const std::vector<model::ClipRef>& clips,
                       QString* error) {
    return model::formatLaneRecords(clips, mix.pixelsPerSecond(), error);
}

model::PictureRef clipPictureOrSay(const QString& name, double duration, double fadeInEnd,
                                   double fadeOutStart, double start, double stop, int32_t label) {
    model::PictureRef picture =
        model::clipPicture(name, duration, fadeInEnd, fadeOutStart, start, stop, label);
    if (!picture)
        platform::showMessage(QStringLiteral(
            "Out of memory.  Please increase the RAM allocation to the IDE (or built app)."));
    return picture;
}

model::PictureRef clipPictureOrSay(const model::Clip& c) {
    return clipPictureOrSay(c.name, c.lengthPx, c.fadeInEnd, c.fadeOutStart, c.inPoint, c.outPoint,
                            c.label);
}

bool MediaCheck::playable(const QString& path) {
    const auto known = known_.constFind(path);
    if (known != known_.constEnd()) return *known;
    // Only regular files are opened: a device or a FIFO would block or never end.
    const bool ok = platform::measureMovie(path).has_value();
    known_.insert(path, ok);
    return ok;
}

RecordLoad loadRecord(model::Mix& mix, QByteArrayView line, MediaCheck& media, QString* path) {
    model::PlaylistRecord record;
    const model::RecordParse parsed = model::parseRecord(line, record);
    switch (parsed) {
        case model::RecordParse::NotARecord:
            return RecordLoad::NotARecord;
        case model::RecordParse::Skipped:
            return RecordLoad::Damaged;
        case model::RecordParse::BeyondEnd:
        case model::RecordParse::NotUtf8:
            return keptRecordLoad(parsed, record);
        case model::RecordParse::Read:
            break;
    }
    if (path) *path = record.path;
    // A file that is there loads even when it is no playable media: the deck then says so.
    const QFileInfo file(record.path);
    if (!file.exists() || file.isDir()) return RecordLoad::MissingFile;
    const RecordLoad laid = layRecord(mix, record);
    if (laid != RecordLoad::Loaded) return laid;
    return media.playable(record.path) ? RecordLoad::Loaded : notPlayableLoad(record.path);
}

RecordLoad keptRecordLoad(model::RecordParse parsed, const model::PlaylistRecord& record) {
    switch (parsed) {
        case model::RecordParse::BeyondEnd:
            return RecordLoad::BeyondEnd;
        case model::RecordParse::NotUtf8: {
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

RecordLoad layRecord(model::Mix& mix, const model::PlaylistRecord& record) {
    if (record.lane != 1 && record.lane != 2) return RecordLoad::Damaged;

    const model::ClipPlacement p =
        model::clipPlacement(record, mix.pixelsPerSecond(), mix.scrollX());
    model::PictureRef picture = clipPictureOrSay(p.name, p.duration, p.fadeInEnd, p.fadeOutStart,
                                                 p.inpoint, p.outpoint, p.label);
    if (!picture) return RecordLoad::NoPicture;
    const model::ClipRef clip = mix.addNewClip(record.lane, p.left,
                                               {.image = std::move(picture),
                                                .name = p.name,
                                                .path = p.path,
                                                .lengthPx = p.duration,
                                                .inPoint = p.inpoint,
                                                .outPoint = p.outpoint,
                                                .fadeInEnd = p.fadeInEnd,
                                                .fadeOutStart = p.fadeOutStart,
                                                .label = p.label,
                                                .lane = p.lane});
    clip->centre = p.centre;
    return RecordLoad::Loaded;
}

MeasuredFile measureRecordFile(const QString& path) {
    const QFileInfo file(path);
    if (!file.exists() || file.isDir()) return {MeasuredFile::Kind::Missing, 0, 0, nullptr};
    MeasuredFile r;
    const std::optional<double> seconds = platform::measureMovie(path, &r.movie);
    r.kind = seconds ? MeasuredFile::Kind::Measured : MeasuredFile::Kind::Failed;
    r.seconds = seconds.value_or(0);
    return r;
}

}  // namespace documents
