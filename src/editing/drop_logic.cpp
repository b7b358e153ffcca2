#include "editing/drop_logic.h"

#include <QDir>
#include <QRegularExpression>
#include <QStringList>

#include "editing/plist_reader.h"
#include "editing/regular_file.h"
#include "lanes/lane_logic.h"
#include "media/movie.h"
#include "platform/filetypes.h"
#include "platform/numtext.h"

namespace editing {

namespace {

QString firstLine(const QString& text) {
    const qsizetype end = text.indexOf(QRegularExpression(QStringLiteral("[\r\n]")));
    return (end < 0 ? text : text.left(end)).trimmed();
}

MovieMeasure& measureOverride() {
    static MovieMeasure measure;
    return measure;
}

}  // namespace

QString textDropPath(const QString& text) {
    const QString line = firstLine(text);
    if (line.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
        return fileUrlToLocalPath(line);
    }
    if (line.startsWith(QLatin1Char('/'))) return QDir::cleanPath(line);
    return QString();
}

bool namesOneOf(const QString& path, const QStringList& files) {
    if (path.isEmpty()) return false;
    for (const QString& f : files)
        if (QDir::cleanPath(f) == path) return true;
    return false;
}

QString statusLineText(const QString& text) {
    QString out;
    for (const QChar c : firstLine(text)) {
        if (c.category() != QChar::Other_Control) out += c;
        if (out.size() > kStatusTextChars) break;
    }
    if (out.size() > kStatusTextChars) out = out.left(kStatusTextChars - 3) + QStringLiteral("...");
    return out;
}

bool placeIsFree(const std::vector<DragPicRef>& pics, double left, double dauer) {
    return !lanes::lineHit(pics, left) && !lanes::lineHit(pics, left + dauer) &&
           !lanes::lineHit(pics, left + dauer / 2);
}

int32_t clipWidth(double seconds, double zoomwert) { return whole(seconds * zoomwert); }

const QStringList& laneFileTypes() {
    static const QStringList kTypes = {
        QStringLiteral("video/quicktime"), QStringLiteral("video/x-mpeg"),
        QStringLiteral("audio/aac"),       QStringLiteral("audio/mp3"),
        QStringLiteral("audio/x-mpeg"),    QStringLiteral("audio/x-mpeg3"),
        QStringLiteral("audio/mpeg"),      QStringLiteral("audio/mpeg3")};
    return kTypes;
}

bool laneTakesFileType(const QString& path) {
    return platform::FileTypeRegistry::instance().matchesAny(path, laneFileTypes());
}

std::optional<double> measureMovie(const QString& path) {
    // A FIFO or a device would block the program; only regular files are opened.
    if (!isRegularFile(path)) return std::nullopt;
    if (measureOverride()) return measureOverride()(path);
    const media::MovieRef movie = media::openEditableMovie(path);
    if (!movie) return std::nullopt;
    return movie->Duration();
}

void setMovieMeasure(MovieMeasure measure) { measureOverride() = std::move(measure); }

}  // namespace editing
