#include "media/sound_log.h"

namespace media {
Q_LOGGING_CATEGORY(soundLog, "vontalix.sound", QtWarningMsg)
}  // namespace media
