#include "model/clip_name.h"

namespace model {

QString clipName(const QString& displayName, const QString& title, const QString& artist) {
    // QString::replace scans left to right without overlap, which is the pairing wanted here.
    const QString t = QString(title).replace(QStringLiteral("  "), QString());
    const QString a = QString(artist).replace(QStringLiteral("  "), QString());
    if (!t.isEmpty()) return a.isEmpty() ? t : a + QStringLiteral(": ") + t;
    return a.isEmpty() ? displayName : a + QStringLiteral(": ") + displayName;
}

}  // namespace model
