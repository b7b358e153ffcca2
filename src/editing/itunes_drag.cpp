// A track dragged out of a music library: its data names the track's file by a file URL.
#include "model/plist_reader.h"
#include "shell/main_window.h"

QString MainWindow::dropFromLibrary(platform::DragItem& item) {
    const QString type = QStringLiteral("itun");
    if (!item.MacDataAvailable(type)) return QString();
    return editing::itunesTrackPath(item.MacData(type));
}
