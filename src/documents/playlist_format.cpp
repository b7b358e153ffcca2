#include "documents/playlist_format.h"

#include <QList>
#include <algorithm>
#include <cmath>

#include "platform/numtext.h"

namespace documents {

namespace {

constexpr char kHeader[] =
    "identifier%spur%trackdauer%fadein%fadeout%name%pfad%inpoint%outpoint%xpos%ypos%finderlabel%";
constexpr char kRecordKey[] = "vtlx%";

bool readNumber(const QByteArray& field, double& out) {
    return platform::parseNumber(QString::fromLatin1(field), out);
}

}  // namespace

QByteArray playlistHeaderLine() { return QByteArray(kHeader) + '\r'; }

std::vector<QByteArray> playlistLines(const QByteArray& fileBytes) {
    std::vector<QByteArray> lines;
    const qsizetype size = fileBytes.size();
    qsizetype begin = fileBytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    for (qsizetype i = begin; i < size; ++i) {
        const char c = fileBytes[i];
        if (c != '\r' && c != '\n') continue;
        lines.push_back(fileBytes.mid(begin, i - begin));
        if (c == '\r' && i + 1 < size && fileBytes[i + 1] == '\n') ++i;
        begin = i + 1;
    }
    if (begin < size) lines.push_back(fileBytes.mid(begin));
    return lines;
}

bool isPlaylist(const std::vector<QByteArray>& lines) {
    if (lines.empty() || lines.front() == kHeader) return true;
    return std::any_of(lines.begin(), lines.end(),
                       [](const QByteArray& line) { return line.startsWith(kRecordKey); });
}

RecordParse parseRecord(const QByteArray& line, PlaylistRecord& record) {
    if (!line.startsWith(kRecordKey)) return RecordParse::NotARecord;
    const QList<QByteArray> parts = line.split('%');
    const qsizetype n = parts.size();
    if (n < 13 || !parts[n - 1].isEmpty()) return RecordParse::Skipped;

    double lane = 0, dauer = 0, fadein = 0, fadeout = 0, in = 0, out = 0, xpos = 0, ypos = 0,
           label = 0;
    if (!readNumber(parts[1], lane) || !readNumber(parts[2], dauer) ||
        !readNumber(parts[3], fadein) || !readNumber(parts[4], fadeout) ||
        !readNumber(parts[n - 6], in) || !readNumber(parts[n - 5], out) ||
        !readNumber(parts[n - 4], xpos) || !readNumber(parts[n - 3], ypos) ||
        !readNumber(parts[n - 2], label))
        return RecordParse::Skipped;

    // The path is everything between the name and the in point, "%" included.
    QByteArray path = parts[6];
    for (qsizetype i = 7; i < n - 6; ++i) path += '%' + parts[i];

    const int32_t laneNumber = platform::whole(lane);
    if (laneNumber != 1 && laneNumber != 2) return RecordParse::Skipped;
    if (!(dauer > 0) || dauer > kMaxTrackSeconds) return RecordParse::Skipped;
    if (std::abs(xpos) > kMaxPlaylistSeconds) return RecordParse::Skipped;
    if (!path.startsWith('/') || path.contains('\0')) return RecordParse::Skipped;

    record.lane = laneNumber;
    record.trackdauer = dauer;
    record.name = QString::fromUtf8(parts[5]);
    record.path = QString::fromUtf8(path);
    record.xpos = xpos;
    const int32_t labelNumber = platform::whole(label);
    record.label = labelNumber >= 0 && labelNumber <= 7 ? labelNumber : 0;
    // Keep the clip's edit points in order inside the clip, whatever the file says.
    record.inpoint = std::clamp(in, 0.0, dauer);
    record.outpoint = std::clamp(out, record.inpoint, dauer);
    record.fadein = std::clamp(fadein, record.inpoint, record.outpoint);
    record.fadeout = std::clamp(fadeout, record.fadein, record.outpoint);
    return RecordParse::Read;
}

ClipPlacement clipPlacement(const PlaylistRecord& record, double zoomwert, double scrollwert) {
    ClipPlacement p;
    p.duration = record.trackdauer * zoomwert;
    p.left = record.xpos * zoomwert - scrollwert - p.duration / 2;
    p.name = record.name;
    p.path = record.path;
    p.lane = record.lane;
    p.fadein = record.fadein * zoomwert;
    p.fadeout = record.fadeout * zoomwert;
    p.inpoint = record.inpoint * zoomwert;
    p.outpoint = record.outpoint * zoomwert;
    p.label = record.label;
    return p;
}

}  // namespace documents
