#pragma once
// What the sound path decides, for whoever hunts a glitch: starts placed, adopted and
// cancelled, devices lost and back, underruns. Off by default; turned on with
//   QT_LOGGING_RULES="vontalix.sound.debug=true"
// Never written from the mixing itself (it must not allocate): it counts, and others log.

#include <QLoggingCategory>

namespace media {
Q_DECLARE_LOGGING_CATEGORY(soundLog)
}  // namespace media
