// The lanes' side of the playlist file: records are made by the pure format code, clips by the
// lanes' own clip maker.
#include "documents/playlist_io.h"

#include "documents/playlist_format.h"
#include "editing/regular_file.h"
#include "shell/window1.h"

namespace documents {

QByteArray laneRecords(const Window1& w, const std::vector<DragPicRef>& mPics, QString* error) {
    return collectspurtracks(mPics, w.zoomwert, w.scrollwert, error);
}

RecordLoad loadRecord(Window1& w, const QByteArray& line) {
    PlaylistRecord record;
    switch (parseRecord(line, record)) {
        case RecordParse::NotARecord:
            return RecordLoad::NotARecord;
        case RecordParse::Skipped:
            return RecordLoad::Damaged;
        case RecordParse::Read:
            break;
    }
    // A FIFO or a device named as media would block or never end when played.
    if (!editing::isRegularFile(record.path)) return RecordLoad::MissingFile;
    DragCanvas* lane = w.lane(record.lane);
    if (!lane) return RecordLoad::Damaged;

    const ClipPlacement p = clipPlacement(record, w.zoomwert, w.scrollwert);
    platform::PictureRef picture =
        w.zeichnetrack(p.name, p.duration, p.fadein, p.fadeout, p.inpoint, p.outpoint, p.label);
    if (!picture) return RecordLoad::NoPicture;
    lane->AddPicture(std::move(picture), p.left, p.y, p.name, p.duration, p.path, p.lane, p.fadein,
                     p.fadeout, p.inpoint, p.outpoint, p.label);
    return RecordLoad::Loaded;
}

}  // namespace documents

QString DragCanvas::collectspurtracks() const {
    const Window1* w = Window1::existing();
    if (!w) return QString();
    QString error;
    return QString::fromUtf8(documents::laneRecords(*w, mPics, &error));
}

void Window1::ladetracks(const QString& line) { documents::loadRecord(*this, line.toUtf8()); }
