// The record writer lives apart from the reader so that the reader builds without the clip
// record's picture types (the fuzz target links only Qt Core).
#include <cmath>

#include "documents/playlist_format.h"
#include "lanes/dragpic.h"
#include "platform/numtext.h"

namespace documents {

QByteArray collectspurtracks(const std::vector<DragPicRef>& mPics, double zoomwert,
                             QString* error) {
    const auto fail = [error](const QString& message) {
        if (error) *error = message;
        return QByteArray();
    };
    if (error) error->clear();
    if (!(zoomwert > 0) || !std::isfinite(zoomwert))
        return fail(QStringLiteral("The playlist cannot be saved: the zoom is not valid."));

    QString text;
    for (size_t i = mPics.size(); i-- > 0;) {
        const DragPic* c = mPics[i].get();
        if (!c) continue;
        // The name is only shown, so a blank stands in for what would break the record; the path
        // must stay exact, so a clip whose path would break it is not saved at all.
        QString name = c->pname;
        for (const QChar bad : {u'%', u'\r', u'\n'}) name.replace(bad, u' ');
        if (c->ppfad.contains(u'\r') || c->ppfad.contains(u'\n'))
            return fail(QStringLiteral("The playlist cannot be saved: the file path of \"%1\" on "
                                       "lane %2 contains a line break.")
                            .arg(name, Str(c->spur)));
        const QString fields[] = {
            QStringLiteral("vtlx"),
            Str(c->spur),
            Str(c->pdauer / zoomwert),
            Str(c->pfadein / zoomwert),
            Str(c->pfadeout / zoomwert),
            name,
            c->ppfad,
            Str(c->pstart / zoomwert),
            Str(c->pstop / zoomwert),
            // The exact centre: what a view shows is rounded, what the file keeps is not.
            Str(c->porgx / zoomwert),
            Str(c->y / zoomwert),
            Str(c->pfarbe),
        };
        for (const QString& field : fields) text += field + u'%';
        text += u'\r';
    }
    return text.toUtf8();
}

}  // namespace documents
