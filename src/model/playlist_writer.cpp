// The record writer lives apart from the reader so that the reader builds without the clip
// record's picture types (the fuzz target links only Qt Core).
#include <cmath>

#include "model/clip.h"
#include "model/numtext.h"
#include "model/playlist_format.h"

namespace model {

QByteArray formatLaneRecords(const std::vector<ClipRef>& clips, double pixelsPerSecond,
                             QString* error) {
    const auto fail = [error](const QString& message) {
        if (error) *error = message;
        return QByteArray();
    };
    if (error) error->clear();
    if (!(pixelsPerSecond > 0) || !std::isfinite(pixelsPerSecond))
        return fail(QStringLiteral("The playlist cannot be saved: the zoom is not valid."));

    QString text;
    for (size_t i = clips.size(); i-- > 0;) {
        const Clip* c = clips[i].get();
        if (!c) continue;
        // The name is only shown, so a blank stands in for what would break the record; the path
        // must stay exact, so a clip whose path would break it is not saved at all.
        QString name = c->name;
        for (const QChar bad : {u'%', u'\r', u'\n'}) name.replace(bad, u' ');
        if (c->path.contains(u'\r') || c->path.contains(u'\n'))
            return fail(QStringLiteral("The playlist cannot be saved: the file path of \"%1\" on "
                                       "lane %2 contains a line break.")
                            .arg(name, QString::number(c->lane)));
        const QString fields[] = {
            QStringLiteral("vtlx"),
            QString::number(c->lane),
            formatNumber(c->lengthPx / pixelsPerSecond),
            formatNumber(c->fadeInEnd / pixelsPerSecond),
            formatNumber(c->fadeOutStart / pixelsPerSecond),
            name,
            c->path,
            formatNumber(c->inPoint / pixelsPerSecond),
            formatNumber(c->outPoint / pixelsPerSecond),
            // The exact centre: what a view shows is rounded, what the file keeps is not.
            formatNumber(c->centre / pixelsPerSecond),
            formatNumber(kClipCentreY / pixelsPerSecond),
            QString::number(c->label),
        };
        for (const QString& field : fields) text += field + u'%';
        text += u'\r';
    }
    return text.toUtf8();
}

}  // namespace model
