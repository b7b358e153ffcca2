#pragma once
// The playlist file: text of CR-ended lines, a header line, then one record per clip, all of lane
// 1 before all of lane 2, each lane's clips from its last to its first. A record is twelve fields,
// each followed by "%":
//   vtlx % lane % length % fade-in end % fade-out start % name % path % in % out % centre % y %
//   label %
// Times and places are in seconds (timeline pixels at zoom 1): a file reads back the same at any
// zoom. Numbers are locale-free number text, so the bytes are the same on every machine.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <vector>

#include "model/clip_bounds.h"

namespace model {
struct Clip;
}

namespace model {

// The first line of every playlist, with its CR: 92 bytes.
QByteArray playlistHeaderLine();

// The records of one lane's clips (clips from its last index down to 0), each ending with CR; ""
// for an empty lane. Lengths, fade points and in and out points are divided by pixelsPerSecond, the
// centre is the exact absolute centre centre / pixelsPerSecond (so the seconds read back are those
// written at any zoom and scroll), y is y / pixelsPerSecond. "%", CR and LF in a clip's name are
// written as blanks. A clip whose path holds CR or LF cannot be written: the result is then empty
// and *error names the clip; on success *error is cleared. A zoom that is not a positive number
// also fails. Null entries of clips are passed over.
QByteArray formatLaneRecords(const std::vector<std::shared_ptr<Clip>>& clips,
                             double pixelsPerSecond, QString* error);

// No real playlist comes near this size (a record is some hundred bytes; a mix of a hundred
// thousand clips is a few megabytes). A bigger file is refused before it is read.
inline constexpr qint64 kMaxPlaylistBytes = 16 * 1024 * 1024;
// No name or path is this long: a longer line is a damaged record, never split into fields.
inline constexpr qsizetype kMaxRecordBytes = 64 * 1024;

// The lines of a file's bytes, one at a time, without their ends and without copying. CR, LF and
// CR LF all end a line; a UTF-8 byte-order mark at the start is dropped; a last line without an
// end still counts.
class PlaylistLineReader {
  public:
    explicit PlaylistLineReader(QByteArrayView bytes);
    bool next(QByteArrayView& line);
    qsizetype position() const { return pos_; }  // bytes read so far

  private:
    QByteArrayView bytes_;
    qsizetype pos_ = 0;
};

// All the lines at once (for small files and tests).
std::vector<QByteArray> playlistLines(const QByteArray& fileBytes);

// Whether the bytes are a playlist: no line at all (an empty file is an empty playlist), the
// header line first, or at least one line starting with "vtlx%". Anything else is some other
// document, which must not be adopted (a later save would overwrite it).
bool isPlaylist(QByteArrayView fileBytes);

// Whether a line is a record by its key, and so must never be lost by an open and a save.
bool isRecordLine(QByteArrayView line);
// Whether a line holds text that is neither the header nor a record: an open leaves it out and
// a save does not write it, so the open says how many there were.
bool isStrayLine(QByteArrayView line);

// The record lines a document could not load, in the order they were read, kept byte for byte so
// that a save writes them back after the loaded records: a mix never loses a track because its
// drive was not mounted when it was opened. Held as one text, each line ended by CR.
class KeptRecords {
  public:
    void add(QByteArrayView line);
    void clear();
    int count() const { return count_; }
    const QByteArray& text() const { return text_; }

  private:
    QByteArray text_;
    int count_ = 0;
};

// The whole file a save writes: the header line, lane 1's and lane 2's records, then the kept
// lines.
QByteArray playlistText(QByteArrayView lane1, QByteArrayView lane2, const KeptRecords& kept);

// What one open made of the file's records, for the status line.
struct LoadTally {
    int missing = 0;         // media file gone: kept
    int damaged = 0;         // a record that cannot be read: kept
    int beyondEnd = 0;       // a sound record placed past the timeline's end: kept
    int notUtf8 = 0;         // a name or path not in UTF-8, of a file that is there: kept
    int strayLines = 0;      // lines that are no records (isStrayLine): left out
    QStringList unplayable;  // loaded, but their files are no playable media
    QStringList unreadable;  // loaded, but this user may not read their files
};
// One line: how many tracks were not loaded and why, and that they stay in the file; how many
// lines that are no tracks were left out; then the tracks whose files cannot be played. "" when
// every record loaded as playable media and no line was left out.
QString loadStatus(const LoadTally& tally);

// One record as read, in seconds.
struct PlaylistRecord {
    int32_t lane = 0;  // 1 or 2
    double lengthSeconds = 0;
    double fadeInEnd = 0;
    double fadeOutStart = 0;
    QString name;
    QString path;
    double inpoint = 0;
    double outpoint = 0;
    double xpos = 0;       // the clip's centre on the whole time axis
    int32_t label = 0;     // 0..7
    QByteArray pathBytes;  // the path as the line holds it (set also for NotUtf8)
};

// Bounds on what a record may hold: longer clips and places further out are damaged data.
inline constexpr double kMaxTrackSeconds = model::kMaxClipSeconds;
inline constexpr double kMaxPlaylistSeconds = 1e7;

enum class RecordParse {
    NotARecord,  // the header, an empty line or other text: passed over silently
    Skipped,     // starts like a record but cannot be used
    BeyondEnd,   // a sound record whose centre lies past kMaxPlaylistSeconds
    NotUtf8,     // a record whose name or path is not UTF-8: kept as it is
    Read,
};

// Parses one line (without its end). Fields before the path are taken from the front and those
// after it from the back, so a path holding "%" reads back whole. Every number must be complete
// and finite. Skipped: a line over kMaxRecordBytes, fewer than 13 parts or text after the last
// "%", a lane other than 1 or 2, a length not accepted for a clip (model::clipSecondsAccepted),
// a centre before -kMaxPlaylistSeconds, or a path that is not absolute. NotUtf8: a name or path
// that is not UTF-8 (record.pathBytes is set). BeyondEnd: a record that is sound but for its
// centre beyond kMaxPlaylistSeconds. The points are clamped into 0 <= in <= fade-in end <=
// fade-out start <= out <= length; a label outside 0..7 becomes 0. Whether the file exists is the
// caller's test (model::isRegularFile: only regular files count).
RecordParse parseRecord(QByteArrayView line, PlaylistRecord& record);

// What a lane's addNewClip takes for a record, in timeline pixels at pixelsPerSecond, with
// the left edge placed so that the clip's absolute centre comes out at xpos.
struct ClipPlacement {
    double left = 0;
    // The absolute centre exactly as the record gives it: left + half the length can round it,
    // and a file opened and saved must keep every digit.
    double centre = 0;
    QString name;
    double duration = 0;
    QString path;
    int32_t lane = 0;
    double fadeInEnd = 0;
    double fadeOutStart = 0;
    double inpoint = 0;
    double outpoint = 0;
    int32_t label = 0;
};
ClipPlacement clipPlacement(const PlaylistRecord& record, double pixelsPerSecond, double scrollX);

}  // namespace model
