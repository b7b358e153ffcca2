#include "windows/window_logic.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "model/numtext.h"

#ifndef VONTALIX_SOURCE_README
#define VONTALIX_SOURCE_README ""
#endif

namespace windows {

std::vector<DeviceRow> deviceRows(const std::vector<media::OutputDevice>& devices) {
    std::vector<DeviceRow> rows;
    rows.reserve(devices.size());
    for (const media::OutputDevice& d : devices) rows.push_back({d.name, d.info, hexText(d.id)});
    return rows;
}

double transitionStepUp(double seconds) {
    return seconds < kLongestTransition ? seconds + kTransitionStep : seconds;
}

double transitionStepDown(double seconds) {
    return seconds > 0 ? seconds - kTransitionStep : seconds;
}

namespace {
const QString kPreviewDeviceKey = QStringLiteral("previewDevice");
const QString kPreviewDeviceNameKey = QStringLiteral("previewDeviceName");
const QString kTransitionKey = QStringLiteral("defaultTransition");
}  // namespace

std::unique_ptr<QSettings> preferencesStore() {
    return std::make_unique<QSettings>(QStringLiteral("Vontalix"), QStringLiteral("Vontalix"));
}

KeptPreferences keptPreferences() {
    KeptPreferences kept;
    const std::unique_ptr<QSettings> store = preferencesStore();
    bool ok = false;
    // Device ids are non-zero 31-bit numbers.
    const qlonglong id = store->value(kPreviewDeviceKey).toLongLong(&ok);
    if (ok && id > 0 && id <= INT32_MAX) {
        kept.previewDevice = static_cast<int32_t>(id);
        kept.previewDeviceName = store->value(kPreviewDeviceNameKey).toString();
    }
    const double seconds = store->value(kTransitionKey).toDouble(&ok);
    // Only the steps the arrows make: 0 to 10 in halves.
    if (ok && seconds >= 0 && seconds <= kLongestTransition &&
        std::fmod(seconds, kTransitionStep) == 0)
        kept.transition = seconds;
    return kept;
}

void keepPreviewDevice(int32_t id, const QString& name) {
    const std::unique_ptr<QSettings> store = preferencesStore();
    store->setValue(kPreviewDeviceKey, id);
    store->setValue(kPreviewDeviceNameKey, name);
}

void keepTransition(double seconds) { preferencesStore()->setValue(kTransitionKey, seconds); }

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
    return {song->Title, song->Artist, song->Album, song->cleanName, song->Location};
}

QStringList libraryHeadings() {
    return {QStringLiteral("Title"), QStringLiteral("Artist"), QStringLiteral("Album"),
            QStringLiteral("Putzname"), QStringLiteral("Location")};
}

QString libraryCountText(int slotCount) {
    return QStringLiteral("iTunes Library (") + Str(slotCount) + QStringLiteral(" songs ");
}

std::vector<LibrarySongRef> librarySongs(1);

}  // namespace windows
