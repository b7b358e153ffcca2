#pragma once
// Between the playlist text and the lanes: one lane's records out, one record in as a clip.

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <vector>

#include "documents/parallel_measure.h"
#include "model/clip.h"
#include "model/mix.h"
#include "model/picture.h"
#include "model/playlist_format.h"

namespace documents {

enum class RecordLoad {
    NotARecord,   // the header, an empty line or other text
    Damaged,      // starts like a record but cannot be used
    BeyondEnd,    // a sound record placed past the timeline's end
    MissingFile,  // a record whose media file is gone (or is a folder)
    NoPicture,    // the clip picture could not be made (already reported by the picture maker)
    Loaded,       // a clip of playable media
    NotPlayable,  // loaded, but the file there is no playable media (empty, text, a device)
    Unreadable,   // loaded, but this user may not read the file
    NotUtf8,      // a name or path that is not UTF-8, of a file that is there: kept
};

// Whether files are playable media, each file looked at once however many records name it.
class MediaCheck {
  public:
    bool playable(const QString& path);

  private:
    QHash<QString, bool> known_;
};

// A clip's picture for the lanes; says so in a box when it cannot be made (nullptr then).
model::PictureRef clipPictureOrSay(const QString& name, double duration, double fadeInEnd,
                                   double fadeOutStart, double start, double stop, int32_t label);
// The same for a clip as it stands now (its name, length, trims, fades and label).
model::PictureRef clipPictureOrSay(const model::Clip& clip);

// Makes the clip of one line (without its end) on its lane, at the mix's zoom and scroll.
// *path gets the record's media path once the record has been read.
RecordLoad loadRecord(model::Mix& mix, QByteArrayView line, MediaCheck& media,
                      QString* path = nullptr);

// Why a record that parseRecord did not read is kept: BeyondEnd, NotUtf8 (its file is there),
// MissingFile or Damaged.
RecordLoad keptRecordLoad(model::RecordParse parsed, const model::PlaylistRecord& record);

// Why a laid clip's file does not play: Unreadable (this user may not read it) or NotPlayable.
RecordLoad notPlayableLoad(const QString& path);

// Makes the clip of a record whose file is there on its lane, at the mix's zoom and scroll:
// Loaded, Damaged (no such lane) or NoPicture.
RecordLoad layRecord(model::Mix& mix, const model::PlaylistRecord& record);

// What a playlist needs to know of a file its records name, found on a worker: Missing (nothing
// there, or a folder), Measured (playable media, its movie kept for the clips) or else not
// playable.
MeasuredFile measureRecordFile(const QString& path);

// One lane's records at the mix's zoom; "" and *error set when a clip cannot be written.
QByteArray laneRecords(const model::Mix& mix, const std::vector<model::ClipRef>& clips,
                       QString* error);

}  // namespace documents
