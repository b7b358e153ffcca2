// A track dragged out of a music library: its data names the track's file by a file URL.
#include "editing/plist_reader.h"
#include "shell/window1.h"

QString Window1::dropfromtunes(platform::DragItem& item) {
    const QString type = QStringLiteral("itun");
    if (!item.MacDataAvailable(type)) return QString();
    return editing::itunesTrackPath(item.MacData(type));
}

QString Window1::itvorputz(const QString& text) { return editing::itvorputz(text); }

QString Window1::itlastinurltopfad(const QString& text) { return editing::itlastinurltopfad(text); }
