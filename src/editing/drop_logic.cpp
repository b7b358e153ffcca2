#include "editing/drop_logic.h"

#include <QDir>
#include <QRegularExpression>
#include <QStringList>

#include "editing/plist_reader.h"
#include "lanes/lane_logic.h"
#include "platform/numtext.h"

namespace editing {

namespace {

QString firstLine(const QString& text) {
    const qsizetype end = text.indexOf(QRegularExpression(QStringLiteral("[\r\n]")));
    return (end < 0 ? text : text.left(end)).trimmed();
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

}  // namespace editing
