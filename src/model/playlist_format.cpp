#include "model/playlist_format.h"

#include <QList>
#include <algorithm>
#include <cmath>

#include "model/numtext.h"

namespace model {

namespace {

constexpr char kHeader[] =
    "identifier%spur%trackdauer%fadein%fadeout%name%pfad%inpoint%outpoint%xpos%ypos%finderlabel%";
constexpr char kRecordKey[] = "vtlx%";

bool readNumber(QByteArrayView field, double& out) {
    const std::optional<double> number = parseNumber(QString::fromLatin1(field));
    if (number) out = *number;
    return number.has_value();
}

}  // namespace

QByteArray playlistHeaderLine() { return QByteArray(kHeader) + '\r'; }

PlaylistLineReader::PlaylistLineReader(QByteArrayView bytes) : bytes_(bytes) {
    if (bytes_.startsWith("\xEF\xBB\xBF")) pos_ = 3;
}

bool PlaylistLineReader::next(QByteArrayView& line) {
    const qsizetype size = bytes_.size();
    if (pos_ >= size) return false;
    const char* data = bytes_.data();
    qsizetype end = pos_;
    while (end < size && data[end] != '\r' && data[end] != '\n') ++end;
    line = bytes_.sliced(pos_, end - pos_);
    pos_ = end;
    if (pos_ < size) {
        if (data[pos_] == '\r' && pos_ + 1 < size && data[pos_ + 1] == '\n') ++pos_;
        ++pos_;
    }
    return true;
}

std::vector<QByteArray> playlistLines(const QByteArray& fileBytes) {
    std::vector<QByteArray> lines;
    PlaylistLineReader reader(fileBytes);
    for (QByteArrayView line; reader.next(line);) lines.push_back(line.toByteArray());
    return lines;
}

bool isRecordLine(QByteArrayView line) { return line.startsWith(kRecordKey); }

bool isStrayLine(QByteArrayView line) {
    return !line.isEmpty() && line != kHeader && !isRecordLine(line);
}

bool isPlaylist(QByteArrayView fileBytes) {
    PlaylistLineReader reader(fileBytes);
    QByteArrayView line;
    if (!reader.next(line) || line == kHeader) return true;
    do {
        if (isRecordLine(line)) return true;
    } while (reader.next(line));
    return false;
}

void KeptRecords::add(QByteArrayView line) {
    text_.append(line);
    text_.append('\r');
    ++count_;
}

void KeptRecords::clear() {
    text_ = QByteArray();
    count_ = 0;
}

QByteArray playlistText(QByteArrayView lane1, QByteArrayView lane2, const KeptRecords& kept) {
    QByteArray text = playlistHeaderLine();
    text.reserve(text.size() + lane1.size() + lane2.size() + kept.text().size());
    text.append(lane1);
    text.append(lane2);
    text.append(kept.text());
    return text;
}

QString loadStatus(const LoadTally& tally) {
    QStringList why;
    if (tally.missing > 0)
        why << (tally.missing == 1 ? QStringLiteral("1 media file missing")
                                   : QStringLiteral("%1 media files missing").arg(tally.missing));
    if (tally.damaged > 0)
        why << (tally.damaged == 1 ? QStringLiteral("1 damaged line")
                                   : QStringLiteral("%1 damaged lines").arg(tally.damaged));
    if (tally.notUtf8 > 0)
        why << (tally.notUtf8 == 1
                    ? QStringLiteral("1 file name not in UTF-8")
                    : QStringLiteral("%1 file names not in UTF-8").arg(tally.notUtf8));
    if (tally.beyondEnd > 0)
        why << (tally.beyondEnd == 1
                    ? QStringLiteral("1 lies beyond the timeline's end")
                    : QStringLiteral("%1 lie beyond the timeline's end").arg(tally.beyondEnd));
    QString text;
    const int kept = tally.missing + tally.damaged + tally.beyondEnd + tally.notUtf8;
    if (kept > 0) {
        text = (kept == 1 ? QStringLiteral("1 track was not loaded")
                          : QStringLiteral("%1 tracks were not loaded").arg(kept)) +
               QStringLiteral(" (") + why.join(QStringLiteral(", ")) +
               QStringLiteral(") and stays in the playlist file.");
        if (kept > 1) text.replace(QStringLiteral("and stays"), QStringLiteral("and stay"));
    }
    if (tally.strayLines > 0) {
        if (!text.isEmpty()) text += u' ';
        text += tally.strayLines == 1
                    ? QStringLiteral("1 line that is no track was")
                    : QStringLiteral("%1 lines that are no tracks were").arg(tally.strayLines);
        text += QStringLiteral(" left out and will not be saved.");
    }
    // One name is enough to find the others; the line must stay one line.
    const auto named = [&text](const QStringList& names, const QString& what) {
        if (names.isEmpty()) return;
        if (!text.isEmpty()) text += u' ';
        const QString first = QStringLiteral("\"") + names.front() + u'"';
        const qsizetype more = names.size() - 1;
        text += more == 0 ? first + QStringLiteral(" is ") + what + u'.'
                : more == 1
                    ? first + QStringLiteral(" and 1 more track are ") + what + u'.'
                    : first + QStringLiteral(" and %1 more tracks are ").arg(more) + what + u'.';
    };
    named(tally.unplayable, QStringLiteral("not playable media"));
    named(tally.unreadable, QStringLiteral("not readable (no permission)"));
    return text;
}

RecordParse parseRecord(QByteArrayView line, PlaylistRecord& record) {
    if (!isRecordLine(line)) return RecordParse::NotARecord;
    if (line.size() > kMaxRecordBytes) return RecordParse::Skipped;
    // The places of the "%" separators; the line is short, so this stays small.
    std::vector<qsizetype> cuts;
    for (qsizetype i = 0; i < line.size(); ++i)
        if (line[i] == '%') cuts.push_back(i);
    const qsizetype n = static_cast<qsizetype>(cuts.size()) + 1;  // parts
    if (n < 13 || cuts.back() != line.size() - 1) return RecordParse::Skipped;
    const auto part = [&](qsizetype k) {
        const qsizetype from = k == 0 ? 0 : cuts[k - 1] + 1;
        const qsizetype to = k < n - 1 ? cuts[k] : line.size();
        return line.sliced(from, to - from);
    };

    double lane = 0, length = 0, fadeInEnd = 0, fadeOutStart = 0, in = 0, out = 0, xpos = 0,
           ypos = 0, label = 0;
    if (!readNumber(part(1), lane) || !readNumber(part(2), length) ||
        !readNumber(part(3), fadeInEnd) || !readNumber(part(4), fadeOutStart) ||
        !readNumber(part(n - 6), in) || !readNumber(part(n - 5), out) ||
        !readNumber(part(n - 4), xpos) || !readNumber(part(n - 3), ypos) ||
        !readNumber(part(n - 2), label))
        return RecordParse::Skipped;

    // The path is everything between the name and the in point, "%" included.
    const qsizetype pathFrom = cuts[5] + 1;
    const QByteArrayView path = line.sliced(pathFrom, cuts[n - 7] - pathFrom);
    const QByteArrayView name = part(5);

    const int32_t laneNumber = model::whole(lane);
    if (laneNumber != 1 && laneNumber != 2) return RecordParse::Skipped;
    if (!model::clipSecondsAccepted(length)) return RecordParse::Skipped;
    if (xpos < -kMaxPlaylistSeconds) return RecordParse::Skipped;
    if (!path.startsWith('/') || path.contains('\0')) return RecordParse::Skipped;
    record.pathBytes = path.toByteArray();
    // Text that is not UTF-8 would come back altered from a save; such a line is kept as it is.
    if (!path.isValidUtf8() || !name.isValidUtf8()) return RecordParse::NotUtf8;
    // Tested last: only a record that is sound in every other way is said to lie there.
    if (xpos > kMaxPlaylistSeconds) return RecordParse::BeyondEnd;

    record.lane = laneNumber;
    record.lengthSeconds = length;
    record.name = QString::fromUtf8(name);
    record.path = QString::fromUtf8(path);
    record.xpos = xpos;
    const int32_t labelNumber = model::whole(label);
    record.label = labelNumber >= 0 && labelNumber <= 7 ? labelNumber : 0;
    // Keep the clip's edit points in order inside the clip, whatever the file says.
    record.inpoint = std::clamp(in, 0.0, length);
    record.outpoint = std::clamp(out, record.inpoint, length);
    record.fadeInEnd = std::clamp(fadeInEnd, record.inpoint, record.outpoint);
    record.fadeOutStart = std::clamp(fadeOutStart, record.fadeInEnd, record.outpoint);
    return RecordParse::Read;
}

ClipPlacement clipPlacement(const PlaylistRecord& record, double pixelsPerSecond, double scrollX) {
    ClipPlacement p;
    p.duration = record.lengthSeconds * pixelsPerSecond;
    p.centre = record.xpos * pixelsPerSecond;
    p.left = p.centre - scrollX - p.duration / 2;
    p.name = record.name;
    p.path = record.path;
    p.lane = record.lane;
    p.fadeInEnd = record.fadeInEnd * pixelsPerSecond;
    p.fadeOutStart = record.fadeOutStart * pixelsPerSecond;
    p.inpoint = record.inpoint * pixelsPerSecond;
    p.outpoint = record.outpoint * pixelsPerSecond;
    p.label = record.label;
    return p;
}

}  // namespace model
