#include "windows/window_logic.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "platform/numtext.h"

#ifndef VONTALIX_SOURCE_README
#define VONTALIX_SOURCE_README ""
#endif

namespace windows {

std::vector<DeviceRow> deviceRows(const std::vector<media::OutputDevice>& devices) {
    std::vector<DeviceRow> rows;
    rows.reserve(devices.size());
    for (const media::OutputDevice& d : devices) rows.push_back({d.name, d.info, Hex(d.id)});
    return rows;
}

double transitionStepUp(double seconds) {
    return seconds < kLongestTransition ? seconds + kTransitionStep : seconds;
}

double transitionStepDown(double seconds) {
    return seconds > 0 ? seconds - kTransitionStep : seconds;
}

QStringList aboutLines(const QString& address) {
    return {QStringLiteral("Vontalix 1.4 Intel / PPC"),
            QString(),
            QStringLiteral("Mp3 DJ-Player"),
            QStringLiteral("Made by the Vontalix developers"),
            QString(),
            address};
}

QString aboutText(const QString& address) {
    QString text;
    for (const QString& line : aboutLines(address)) text += line + QChar(13);
    return text;
}

QString readmeAddress(const QString& executableDir) {
    const QString installed =
        QDir(executableDir).absoluteFilePath(QStringLiteral("../share/doc/vontalix/README.md"));
    const QFileInfo info(installed);
    const QString path =
        info.isFile() ? info.canonicalFilePath() : QString::fromUtf8(VONTALIX_SOURCE_README);
    return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
}

QStringList libraryRow(const LibrarySong* song) {
    if (!song) return {QString(), QString(), QString(), QString(), QString()};
    return {song->Title, song->Artist, song->Album, song->Putzname, song->Location};
}

QStringList libraryHeadings() {
    return {QStringLiteral("Title"), QStringLiteral("Artist"), QStringLiteral("Album"),
            QStringLiteral("Putzname"), QStringLiteral("Location")};
}

QString libraryCountText(int slotCount) {
    return QStringLiteral("iTunes Library (") + Str(slotCount) + QStringLiteral(" songs ");
}

}  // namespace windows

namespace Globals {
std::vector<windows::LibrarySongRef> Songs(1);
}
