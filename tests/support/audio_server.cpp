#include "support/audio_server.h"

#include <unistd.h>

#include <QFileInfo>
#include <cstdlib>

#include "support/child_process.h"

namespace testsupport {

bool pointAtAudioServer() {
    if (getenv("PULSE_SERVER")) return true;
    const char* dir = getenv("VONTALIX_AUDIO_DIR");
    const QString socket = (dir ? QString::fromLocal8Bit(dir)
                                : QStringLiteral("/tmp/vontalix-audio-%1").arg(getuid())) +
                           "/native";
    if (!QFileInfo(socket).exists()) return false;
    setenv("PULSE_SERVER", ("unix:" + socket).toLocal8Bit().constData(), 1);
    return true;
}

bool audioServerRunning() { return ChildProcess::execute("pactl", {"info"}, 3000) == 0; }

bool soundRequired() {
    const char* v = getenv("VONTALIX_REQUIRE_SOUND");
    return v && *v && QByteArray(v) != "0";
}

}  // namespace testsupport
