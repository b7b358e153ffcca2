#pragma once
// Playlists of long media for the benchmarks, made once in the benchmark media cache: 2000
// records naming 2000 distinct one-hour MP3 files with headers (hard links, copies where links
// fail, of one one-hour VBR file with a Xing header, each under a name of its own).

#include <unistd.h>

#include "hour_media.h"
#include "model/numtext.h"
#include "model/playlist_format.h"

constexpr int kPlaylistFiles = 2000;

// One playlist line: the whole file as a clip of `seconds` centred at `centre` on `lane`.
inline QByteArray playlistRecord(int lane, double seconds, double centre, const QString& name,
                                 const QString& path) {
    const QString length = model::formatNumber(seconds);
    const QStringList fields = {
        "vtlx", QString::number(lane),       length, "0", length, name, path, "0",
        length, model::formatNumber(centre), "16",   "0"};
    return (fields.join(u'%') + u'%' + u'\r').toUtf8();
}

// Writes the playlist text into the file; empty on failure.
inline QString writeBenchPlaylist(const QString& path, const QByteArray& text) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(text) != text.size())
        return {};
    return path;
}

// The playlist of the 2000 one-hour files, made once; empty when the files could not be made.
inline QString playlist2000() {
    const QString source = oneHourFile(testsupport::MediaKind::Mp3Vbr);
    if (source.isEmpty()) return {};
    const QString dir = benchMediaCache() + "/playlist-2000";
    QDir().mkpath(dir);
    QByteArray text = model::playlistHeaderLine();
    for (int i = 0; i < kPlaylistFiles; ++i) {
        const QString file = dir + QStringLiteral("/%1 hour.mp3").arg(i, 4, 10, QChar('0'));
        if (!QFileInfo::exists(file) &&
            ::link(QFile::encodeName(source).constData(), QFile::encodeName(file).constData()) !=
                0 &&
            !QFile::copy(source, file))
            return {};
        text += playlistRecord(1 + i % 2, 3600, 10 + 3600.0 * i + 1800, QFileInfo(file).fileName(),
                               file);
    }
    return writeBenchPlaylist(dir + "/2000 hours.txt", text);
}
