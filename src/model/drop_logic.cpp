#include "model/drop_logic.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

#include "model/lane_logic.h"
#include "model/numtext.h"
#include "model/plist_reader.h"

namespace model {

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

PathProblem playlistPathProblem(const QString& path) {
    if (path.contains(u'\n') || path.contains(u'\r')) return PathProblem::LineBreak;
    // A real name may hold U+FFFD itself; then the file is found.
    if (path.contains(QChar::ReplacementCharacter) && !QFileInfo::exists(path))
        return PathProblem::NotUtf8;
    return PathProblem::None;
}

namespace {

// A file's name as the one-line status line can show it: line breaks become a visible sign.
QString shownName(const QString& path) {
    QString name = QFileInfo(path).fileName();
    if (name.isEmpty()) name = path;
    name.replace(QStringLiteral("\r\n"), QStringLiteral("\u21b5"));
    for (const QChar c : {u'\r', u'\n'}) name.replace(c, QChar(0x21b5));
    return u'"' + name + u'"';
}

QString problemText(PathProblem problem) {
    return problem == PathProblem::LineBreak ? QStringLiteral("a file path with a line break")
                                             : QStringLiteral("a file name that is not UTF-8 text");
}

}  // namespace

QString refusedPathText(const QString& path, PathProblem problem) {
    if (problem == PathProblem::None) return QString();
    return shownName(path) + QStringLiteral(" was not taken: a playlist cannot hold ") +
           problemText(problem) + u'.';
}

QString refusedPathsText(const QStringList& paths) {
    if (paths.isEmpty()) return QString();
    if (paths.size() == 1) return refusedPathText(paths[0], playlistPathProblem(paths[0]));
    QStringList named;
    for (const QString& p : paths)
        named << shownName(p) + (playlistPathProblem(p) == PathProblem::LineBreak
                                     ? QStringLiteral(" (line break in its path)")
                                     : QStringLiteral(" (name not UTF-8)"));
    return QString::number(paths.size()) +
           QStringLiteral(" files were not taken, a playlist cannot hold them: ") +
           named.join(QStringLiteral(", "));
}

bool placeIsFree(const std::vector<ClipRef>& pics, double left, double length, double scrollX) {
    return !model::lineHit(pics, left, scrollX) && !model::lineHit(pics, left + length, scrollX) &&
           !model::lineHit(pics, left + length / 2, scrollX);
}

int32_t clipWidth(double seconds, double pixelsPerSecond) {
    return whole(seconds * pixelsPerSecond);
}

const QStringList& laneFileTypes() {
    static const QStringList kTypes = {
        QStringLiteral("video/quicktime"), QStringLiteral("video/x-mpeg"),
        QStringLiteral("audio/aac"),       QStringLiteral("audio/mp3"),
        QStringLiteral("audio/x-mpeg"),    QStringLiteral("audio/x-mpeg3"),
        QStringLiteral("audio/mpeg"),      QStringLiteral("audio/mpeg3")};
    return kTypes;
}

}  // namespace model
