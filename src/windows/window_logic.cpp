#include "windows/window_logic.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#ifndef VONTALIX_SOURCE_README
#define VONTALIX_SOURCE_README ""
#endif

namespace windows {

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
        kept.previewDevice = static_cast<media::DeviceId>(id);
        kept.previewDeviceName = store->value(kPreviewDeviceNameKey).toString();
    }
    const double seconds = store->value(kTransitionKey).toDouble(&ok);
    // Only the steps the arrows make: 0 to 10 in halves.
    if (ok && seconds >= 0 && seconds <= kLongestTransition &&
        std::fmod(seconds, kTransitionStep) == 0)
        kept.transition = seconds;
    return kept;
}

namespace {

// Why the settings file cannot be written, looked for where a write fails: the nearest part of
// its folder that is there, then the file itself.
QString whyNotWritable(const QString& file) {
    QFileInfo place(QFileInfo(file).absolutePath());
    while (!place.exists() && !place.isRoot()) place.setFile(place.absolutePath());
    if (!place.isDir()) return place.absoluteFilePath() + QStringLiteral(" is not a folder");
    if (!place.isWritable()) return place.absoluteFilePath() + QStringLiteral(" is read-only");
    const QFileInfo info(file);
    if (info.isDir()) return file + QStringLiteral(" is a folder");
    if (info.exists() && !info.isWritable()) return file + QStringLiteral(" is read-only");
    // Opened to learn the system's reason, only when it is there: the probe must not make it.
    if (QFile probe(file); info.exists() && !probe.open(QIODevice::Append))
        return file + QStringLiteral(": ") + probe.errorString();
    return file + QStringLiteral(" could not be written");
}

QString notKeptText(QSettings& store) {
    store.sync();
    if (store.status() == QSettings::NoError) return {};
    return QStringLiteral("Preferences will not be kept: ") + whyNotWritable(store.fileName()) +
           u'.';
}

}  // namespace

QString keepPreviewDevice(media::DeviceId id, const QString& name) {
    const std::unique_ptr<QSettings> store = preferencesStore();
    store->setValue(kPreviewDeviceKey, id);
    store->setValue(kPreviewDeviceNameKey, name);
    return notKeptText(*store);
}

QString keepTransition(double seconds) {
    const std::unique_ptr<QSettings> store = preferencesStore();
    store->setValue(kTransitionKey, seconds);
    return notKeptText(*store);
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
    return {song->Title, song->Artist, song->Album, song->cleanName, song->Location};
}

QStringList libraryHeadings() {
    return {QStringLiteral("Title"), QStringLiteral("Artist"), QStringLiteral("Album"),
            QStringLiteral("Putzname"), QStringLiteral("Location")};
}

QString libraryCountText(int slotCount) {
    return QStringLiteral("iTunes Library (") + QString::number(slotCount) +
           QStringLiteral(" songs ");
}

std::vector<LibrarySongRef> librarySongs(1);

}  // namespace windows
